#include "FreedesktopTrash.h"

#include "FileOps.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace FileOps;

bool FreedesktopTrash::moveToTrash(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const Entry item = entryOf(absolute);
    if (!item.exists)
        return false;
    const QString home = homeTrash();
    if (item.dev == deviceOf(nearestExisting(home)))
        return prepare(home, true) && moveInto(home, absolute, absolute);
    const QString top = topFolderOf(absolute, item.dev);
    const QString uid = QString::number(::getuid());
    const QString shared = joined(top, QStringLiteral(".Trash"));
    const Entry sharedEntry = entryOf(shared);
    if (sharedEntry.isDir && (sharedEntry.mode & S_ISVTX)) {
        const QString mine = joined(shared, uid);
        if (prepare(mine, false) && entryOf(mine).dev == item.dev)
            return moveInto(mine, absolute, relativeTo(top, absolute));
    }
    const QString own = joined(top, QStringLiteral(".Trash-") + uid);
    return prepare(own, false) && entryOf(own).dev == item.dev && moveInto(own, absolute, relativeTo(top, absolute));
}

QString FreedesktopTrash::homeTrash()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return cleaned(data) + QStringLiteral("/Trash");
}

dev_t FreedesktopTrash::deviceOf(const QString &path)
{
    struct stat st;
    return ::stat(native(path).constData(), &st) == 0 ? st.st_dev : dev_t(-1);
}

QString FreedesktopTrash::nearestExisting(QString path)
{
    while (!entryOf(path).exists && path != QLatin1String("/"))
        path = parentOf(path);
    return path;
}

// The highest folder above the path on the same device: its mount point.
QString FreedesktopTrash::topFolderOf(const QString &path, dev_t device)
{
    QString top = parentOf(path);
    while (top != QLatin1String("/") && deviceOf(parentOf(top)) == device)
        top = parentOf(top);
    return top;
}

QString FreedesktopTrash::relativeTo(const QString &top, const QString &path) { return QDir(top).relativeFilePath(path); }

// Makes the trash folder with its "files" and "info" folders; each must
// be a real folder (not a link) for the trash to be used.
bool FreedesktopTrash::prepare(const QString &trash, bool makeParents)
{
    if (makeParents)
        QDir().mkpath(parentOf(trash));
    for (const QString &folder : {trash, joined(trash, QStringLiteral("files")), joined(trash, QStringLiteral("info"))}) {
        if (!entryOf(folder).exists)
            ::mkdir(native(folder).constData(), 0700);
        if (!entryOf(folder).isDir)
            return false;
    }
    return true;
}

// Claims a name with its info file first, then moves the item under it.
bool FreedesktopTrash::moveInto(const QString &trash, const QString &absolute, const QString &pathForInfo)
{
    const QFileInfo item(absolute);
    const QByteArray info = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(pathForInfo, "/")
        + "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toUtf8() + "\n";
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? item.fileName() : uniqueName(item, n);
        const QString infoPath = joined(trash, QStringLiteral("info/") + name + QStringLiteral(".trashinfo"));
        const int fd = ::open(native(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == info.size();
        if (::close(fd) == 0 && written && renameEntry(absolute, joined(trash, QStringLiteral("files/") + name), false) == 0)
            return true;
        const int err = errno;
        ::unlink(native(infoPath).constData());
        if (err != EEXIST)
            return false;
    }
    return false;
}

QString FreedesktopTrash::uniqueName(const QFileInfo &item, int n)
{
    const QString suffix = item.completeSuffix();
    const QString base = item.fileName().left(item.fileName().size() - (suffix.isEmpty() ? 0 : suffix.size() + 1));
    return suffix.isEmpty() || base.isEmpty() ? QStringLiteral("%1.%2").arg(item.fileName()).arg(n)
                                               : QStringLiteral("%1.%2.%3").arg(base).arg(n).arg(suffix);
}
