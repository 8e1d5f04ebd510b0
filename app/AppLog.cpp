#include "AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "qmr.app", QtInfoMsg)
