#include "FileOps.h"

#include "ShellFileOperation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileOps {

QByteArray native(const QString &path) { return QFile::encodeName(path); }

QString reasonOf(int err) { return QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char('.'); }

Entry entryOf(const QString &path)
{
    struct stat st;
    Entry e;
    if (::lstat(native(path).constData(), &st) != 0)
        return e;
    e.exists = true;
    e.isDir = S_ISDIR(st.st_mode);
    e.isRegular = S_ISREG(st.st_mode);
    e.isLink = S_ISLNK(st.st_mode);
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    e.size = st.st_size;
    e.mode = st.st_mode & 07777;
    return e;
}

bool sameEntry(const Entry &a, const Entry &b)
{
    return a.exists && b.exists && a.dev == b.dev && a.ino == b.ino;
}

bool isFolder(const QString &path) { return QFileInfo(path).isDir(); }

QString cleaned(const QString &path) { return path.isEmpty() ? path : QDir::cleanPath(path); }

QString nameOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

QString parentOf(const QString &path) { return QFileInfo(path).path(); }

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QStringList childrenOf(const QString &folder)
{
    DIR *dir = ::opendir(native(folder).constData());
    if (!dir)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    QStringList names;
    errno = 0;
    while (dirent *d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name != "." && name != "..")
            names << QFile::decodeName(name);
    }
    const int err = errno;
    ::closedir(dir);
    if (err)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(err)};
    return names;
}

int renameEntry(const QString &from, const QString &to, bool mayReplace)
{
    const QByteArray a = native(from);
    const QByteArray b = native(to);
    if (mayReplace)
        return ::rename(a.constData(), b.constData()) == 0 ? 0 : errno;
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    // File systems without the no-replace rename: a hard link fails on an
    // existing name; where links are not supported, look, then rename.
    if (::link(a.constData(), b.constData()) == 0)
        return ::unlink(a.constData()) == 0 ? 0 : errno;
    if (errno == EEXIST)
        return EEXIST;
    if (entryOf(to).exists)
        return EEXIST;
    return ::rename(a.constData(), b.constData()) == 0 ? 0 : errno;
}

qint64 totalSize(const QString &path)
{
    const Entry e = entryOf(path);
    if (!e.isDir)
        return e.size;
    qint64 total = 0;
    QDir dir(path);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        total += totalSize(joined(path, name));
    return total;
}

}
