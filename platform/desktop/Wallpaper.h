#pragma once
// The desktop wallpaper. Setting it records the picture's path where the
// program keeps the setting (HKEY_CURRENT_USER "Control Panel\Desktop",
// value "Wallpaper") and asks the running desktop to show it where one can
// be asked (GNOME and its relatives through gsettings, XFCE through
// xfconf-query, KDE Plasma through its scripting interface, otherwise feh).
// A desktop that cannot be asked is no error.

#include <QString>

namespace Wallpaper {
enum : unsigned { SPI_SETDESKWALLPAPER = 20, SPIF_UPDATEINIFILE = 1, SPIF_SENDCHANGE = 2 };
// Handles request 20 (set the wallpaper to the file named by path); other
// requests do nothing. True when the setting was recorded.
bool SystemParametersInfo(unsigned action, unsigned param, const QString &path, unsigned flags);
// The path last recorded ("" when none).
QString current();
}
