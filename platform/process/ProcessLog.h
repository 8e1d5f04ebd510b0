#pragma once

#include <QLoggingCategory>

// The process: the single-instance lock, signals, where things are kept.
Q_DECLARE_LOGGING_CATEGORY(lcProcess)
