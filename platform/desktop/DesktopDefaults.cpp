#include "DesktopDefaults.h"

#include "MimeAppsList.h"
#include "SmallFile.h"

#include <QFile>
#include <QStandardPaths>

namespace DesktopDefaults {

namespace {

// "GNOME:Ubuntu" gives "gnome-mimeapps.list", "ubuntu-mimeapps.list", then
// "mimeapps.list".
QStringList listNames()
{
    QStringList names;
    for (const QString &desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(':', Qt::SkipEmptyParts))
        names << desktop.toLower() + QStringLiteral("-mimeapps.list");
    return names << QStringLiteral("mimeapps.list");
}

QStringList listsIn(const QStringList &folders)
{
    QStringList files;
    for (const QString &folder : folders)
        for (const QString &name : listNames())
            files << folder + QLatin1Char('/') + name;
    return files;
}

QStringList applicationFolders()
{
    QStringList folders;
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << data + QStringLiteral("/applications");
    return folders;
}

// A desktop ID names a file under an applications folder, a "-" standing
// for a sub-folder ("kde-viewer.desktop" may be "kde/viewer.desktop").
bool isInstalled(const QString &id)
{
    const int dash = id.indexOf(QLatin1Char('-'));
    for (const QString &folder : applicationFolders()) {
        if (QFile::exists(folder + QLatin1Char('/') + id))
            return true;
        if (dash > 0 && QFile::exists(folder + QLatin1Char('/') + id.left(dash) + QLatin1Char('/') + id.mid(dash + 1)))
            return true;
    }
    return false;
}

}

QStringList listFiles()
{
    return listsIn(QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) + listsIn(applicationFolders());
}

QStringList userListFiles()
{
    return listsIn({QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)});
}

QString defaultFor(const QString &mimeType, const QString &ownId)
{
    for (const QString &list : listFiles()) {
        const QByteArray content = SmallFile::read(list);
        if (content.isEmpty())
            continue;
        for (const QString &id : MimeAppsList(content).defaults(mimeType))
            if (id == ownId || isInstalled(id))
                return id;
    }
    return QString();
}

}
