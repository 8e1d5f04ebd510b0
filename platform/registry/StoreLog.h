#pragma once

#include <QLoggingCategory>

// The settings store: a store that could not be opened, read or written, and why.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
