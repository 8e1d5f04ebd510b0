#include "BrowserLog.h"

Q_LOGGING_CATEGORY(lcBrowser, "qmr.browser", QtInfoMsg)
