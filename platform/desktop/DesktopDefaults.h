#pragma once
// The desktop's default programs as its mimeapps.list files give them, in
// the freedesktop lookup order.

#include <QStringList>

namespace DesktopDefaults {

// Every list the desktop reads, most important first: the user's
// configuration, the system's, then the applications folders of the
// user's and the system's data; in each place the lists of the current
// desktops come before the general one.
QStringList listFiles();
// The lists of the user's configuration folder, in the same order; the
// general mimeapps.list is the last.
QStringList userListFiles();

// The program that opens the type: the first installed desktop ID of the
// first list that names one; "" when no list does. ownId always counts
// as installed.
QString defaultFor(const QString &mimeType, const QString &ownId);

}
