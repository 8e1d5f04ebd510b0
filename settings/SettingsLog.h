#pragma once

#include <QLoggingCategory>

// Settings and shell helpers: values that could not be read or written.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
