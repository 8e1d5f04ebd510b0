#include "DialogsLog.h"

Q_LOGGING_CATEGORY(lcDialogs, "qmr.dialogs", QtInfoMsg)
