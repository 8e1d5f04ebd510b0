#pragma once

#include <QLoggingCategory>

// The viewer window: commands that failed on the shown file.
Q_DECLARE_LOGGING_CATEGORY(lcViewer)
