#include "ViewerLog.h"

Q_LOGGING_CATEGORY(lcViewer, "qmr.viewer", QtInfoMsg)
