#include "DesktopLog.h"

Q_LOGGING_CATEGORY(lcDesktop, "qmr.desktop", QtInfoMsg)
