#include "FilesLog.h"

Q_LOGGING_CATEGORY(lcFiles, "qmr.files", QtInfoMsg)
