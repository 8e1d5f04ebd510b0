#include "ProcessLog.h"

Q_LOGGING_CATEGORY(lcProcess, "qmr.process", QtInfoMsg)
