#pragma once

#include <QLoggingCategory>

// The thumbnail browser: folders and thumbnails that could not be read, file commands that failed.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)
