#pragma once

#include <QLoggingCategory>

// The imaging component: files that did not decode, save or print, and why.
Q_DECLARE_LOGGING_CATEGORY(lcImaging)
