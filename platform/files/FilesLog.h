#pragma once

#include <QLoggingCategory>

// File operations and folder reads that failed, with the file and the reason.
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
