#include "SettingsLog.h"

Q_LOGGING_CATEGORY(lcSettings, "qmr.settings", QtInfoMsg)
