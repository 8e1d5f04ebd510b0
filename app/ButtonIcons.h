#pragma once
// Pictures for the main window's push buttons, drawn here so the buttons
// look the same on every desktop, with or without an icon theme.

#include <QIcon>

namespace ButtonIcons {
QIcon previous();
QIcon next();
QIcon zoomIn();
QIcon zoomOut();
QIcon wallpaper();
QIcon view();
}
