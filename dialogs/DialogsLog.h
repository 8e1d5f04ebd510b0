#pragma once

#include <QLoggingCategory>

// The dialog forms: tools that could not be started, folders that could not be made.
Q_DECLARE_LOGGING_CATEGORY(lcDialogs)
