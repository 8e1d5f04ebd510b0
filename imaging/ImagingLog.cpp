#include "ImagingLog.h"

Q_LOGGING_CATEGORY(lcImaging, "qmr.imaging", QtInfoMsg)
