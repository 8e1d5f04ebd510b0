#pragma once

#include <QLoggingCategory>

// The main window and start-up: the command line, the preview, the hand-over to the viewer.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
