#pragma once
// Telling the desktop that file associations changed. After those in the
// registry store change, the desktop is brought in line with them: the
// program's desktop entry is written for the types it holds (or removed
// when it holds none), and a type associated with the program becomes its
// default in the user's mimeapps.list. A type given back loses that default
// again, and whatever default the user had before comes back into force.
// Other programs' entries and lines are never changed.

#include <QString>

namespace AssocNotify {

constexpr long SHCNE_ASSOCCHANGED = 0x08000000;
// item1 is the QString extension whose association changed. Only that
// type's default is claimed or given up; without it no default is claimed.
constexpr unsigned SHCNF_EXTENSION = 0x8000;

// Other events are accepted and ignored; item2 is unused.
void SHChangeNotify(long eventId, unsigned flags, const void *item1, const void *item2);

// The desktop ID of another program that the desktop's defaults open the
// extension's files with; "" when they name this program or none.
QString otherDefault(const QString &extension);

// $XDG_DATA_HOME/applications/quillmere.desktop
QString desktopEntryPath();
// $XDG_CONFIG_HOME/mimeapps.list
QString mimeAppsListPath();

}
