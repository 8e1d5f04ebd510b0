#include "StoreLog.h"

Q_LOGGING_CATEGORY(lcStore, "qmr.store", QtInfoMsg)
