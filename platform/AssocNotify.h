#pragma once
// The shell's change notification. After the file associations in the
// registry store change, the desktop is brought in line with them: the
// program's desktop entry is written (or removed when nothing is
// registered), and each image type associated with the program becomes its
// default in the user's mimeapps.list. A type given back loses that default
// again, and whatever default the user had before comes back into force.
// Other programs' entries and lines are never changed.

#include <QString>

namespace AssocNotify {

constexpr long SHCNE_ASSOCCHANGED = 0x08000000;

// Other events are accepted and ignored; flags and items are unused.
void SHChangeNotify(long eventId, unsigned flags, const void *item1, const void *item2);

// $XDG_DATA_HOME/applications/quillmere.desktop
QString desktopEntryPath();
// $XDG_CONFIG_HOME/mimeapps.list
QString mimeAppsListPath();

}
