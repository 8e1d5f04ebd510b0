#pragma once

#include <QLoggingCategory>

// The desktop's services: file-type lists, wallpaper, programs started, the window manager.
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
