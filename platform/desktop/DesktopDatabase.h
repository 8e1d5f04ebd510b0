#pragma once
// The desktop's caches over its application entries and MIME types, which
// other programs read instead of the entries themselves.

#include <QByteArray>
#include <QString>

namespace DesktopDatabase {

// Rebuilds the MIME cache of an applications folder (mimeinfo.cache),
// which "Open With" lists are made from. Nothing happens without
// update-desktop-database.
void refreshApplications(const QString &folder);

// Puts a package file defining MIME types into the user's shared MIME
// database, or takes it away when the definition is empty, and rebuilds the
// database when the file changed.
void setMimePackage(const QString &fileName, const QByteArray &definition);

}
