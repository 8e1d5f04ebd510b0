#include "FileMover.h"

#include "FileOps.h"
#include "FilesLog.h"
#include "OperationProgress.h"
#include "ShellFileOperation.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace FileOps;

void FileMover::copyItem(const QString &src, const QString &dst, bool mayReplace)
{
    if (entryOf(src).isDir)
        copyFolder(src, dst, false);
    else
        copyFile(src, dst, mayReplace, false);
}

void FileMover::moveItem(const QString &src, const QString &dst, bool mayReplace)
{
    const int err = renameEntry(src, dst, mayReplace);
    if (err == 0)
        return;
    if (err != EXDEV)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(err)};
    // Another file system: copy, make sure it arrived whole, then remove.
    // A move that cannot be finished changes nothing.
    if (entryOf(src).isDir)
        moveFolderAcross(src, dst);
    else
        moveFileAcross(src, dst, mayReplace);
}

void FileMover::merge(const QString &src, const QString &dst, bool move)
{
    for (const QString &name : childrenOf(src)) {
        const QString from = joined(src, name);
        const QString to = joined(dst, name);
        if (mergeConflict(from, to))
            merge(from, to, move);
        else if (move)
            moveItem(from, to, true);
        else
            copyItem(from, to, true);
    }
    if (move && ::rmdir(native(src).constData()) != 0)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
}

void FileMover::removeItem(const QString &path)
{
    if (entryOf(path).isDir) {
        for (const QString &name : childrenOf(path))
            removeItem(joined(path, name));
        if (::rmdir(native(path).constData()) != 0)
            throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    } else if (::unlink(native(path).constData()) != 0) {
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    }
}

// The copy stands in the destination, and the file it replaced is kept
// aside, until the source is gone; a source that cannot be removed (a
// write-protected folder) takes the copy away and puts the old file back.
void FileMover::moveFileAcross(const QString &src, const QString &dst, bool mayReplace)
{
    const qint64 size = entryOf(src).size;
    const QString aside = mayReplace ? setAside(dst) : QString();
    try {
        copyFile(src, dst, false, true);
        int err = entryOf(dst).size == size ? 0 : -1;
        if (err == 0 && ::unlink(native(src).constData()) != 0)
            err = errno;
        if (err != 0) {
            ::unlink(native(dst).constData());
            throw err < 0 ? OperationError{DE_ERRORONDEST, QStringLiteral("The copy is not complete; the original was kept.")}
                          : OperationError{DE_ACCESSDENIEDSRC, reasonOf(err)};
        }
    } catch (...) {
        // The failure itself is the operation's to report (or a Cancel);
        // a replaced file that cannot go back would otherwise go unsaid.
        if (!aside.isEmpty() && renameEntry(aside, dst, false) != 0)
            qCWarning(lcFiles, "Cannot put %s back after a failed move; it is kept as %s", qUtf8Printable(dst),
                      qUtf8Printable(aside));
        throw;
    }
    if (!aside.isEmpty())
        ::unlink(native(aside).constData());
}

// A folder's source files are removed one by one, which cannot be
// undone halfway: so the folder moves only when all of it can go.
void FileMover::moveFolderAcross(const QString &src, const QString &dst)
{
    requireWritable(parentOf(src));
    requireRemovableContents(src);
    copyFolder(src, dst, true);
    removeItem(src);
}

void FileMover::requireWritable(const QString &folder)
{
    if (::faccessat(AT_FDCWD, native(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
}

void FileMover::requireRemovableContents(const QString &folder)
{
    requireWritable(folder);
    for (const QString &name : childrenOf(folder)) {
        const QString child = joined(folder, name);
        if (entryOf(child).isDir)
            requireRemovableContents(child);
    }
}

// Renames an existing `path` to a free hidden name beside it; returns
// that name, or "" when there was nothing to keep.
QString FileMover::setAside(const QString &path)
{
    if (!entryOf(path).exists)
        return QString();
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString aside = randomNameBeside(path, "kept");
        const int err = renameEntry(path, aside, false);
        if (err == 0)
            return aside;
        if (err != EEXIST)
            throw OperationError{DE_ERRORONDEST, reasonOf(err)};
    }
    throw OperationError{DE_ERRORONDEST, reasonOf(EEXIST)};
}

// True when both are folders (merge them); an error when a folder meets
// a file; false when `to` may be written or replaced as a file.
bool FileMover::mergeConflict(const QString &from, const QString &to)
{
    const Entry a = entryOf(from);
    const Entry b = entryOf(to);
    if (!b.exists)
        return false;
    if (a.isDir && b.isDir)
        return true;
    if (a.isDir)
        throw OperationError{DE_FLDDESTISFILE,
                             QStringLiteral("A file named \"%1\" is in the way of the folder.").arg(nameOf(to))};
    if (b.isDir)
        throw OperationError{DE_FILEDESTISFLD,
                             QStringLiteral("A folder named \"%1\" is in the way of the file.").arg(nameOf(to))};
    return false;
}

QString FileMover::tempTemplate(const QString &dst) { return joined(parentOf(dst), QStringLiteral(".qmr-copy-XXXXXX")); }

// A hidden name in the path's folder, likely free; the caller claims it
// and tries another when it was taken.
QString FileMover::randomNameBeside(const QString &path, const char *kind)
{
    return joined(parentOf(path), QStringLiteral(".qmr-%1-%2")
                                      .arg(QLatin1String(kind))
                                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
}

void FileMover::place(const QString &temp, const QString &dst, bool mayReplace)
{
    const int err = renameEntry(temp, dst, mayReplace);
    if (err == EEXIST)
        throw OperationError{DE_ERRORONDEST,
                             QStringLiteral("A file named \"%1\" appeared in the destination meanwhile.").arg(nameOf(dst))};
    if (err)
        throw OperationError{DE_ERRORONDEST, reasonOf(err)};
}

void FileMover::copyFile(const QString &src, const QString &dst, bool mayReplace, bool durable)
{
    const Entry e = entryOf(src);
    if (e.isLink)
        return copyLink(src, dst, mayReplace);
    if (!e.isRegular)
        throw OperationError{DE_ACCESSDENIEDSRC, QStringLiteral("It is not a regular file.")};
    m_progress.setItem(nameOf(src));
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly))
        throw OperationError{DE_ACCESSDENIEDSRC, in.errorString()};
    QTemporaryFile out(tempTemplate(dst));
    if (!out.open())
        throw OperationError{DE_ERRORONDEST, out.errorString()};
    const qint64 copied = copyBytes(in, out);
    if (copied != in.size())
        throw OperationError{DE_ACCESSDENIEDSRC, QStringLiteral("The file changed while it was copied.")};
    if (!out.flush() || (durable && ::fsync(out.handle()) != 0))
        throw OperationError{DE_ERRORONDEST, reasonOf(errno)};
    ::fchmod(out.handle(), e.mode);
    out.setFileTime(QFileInfo(src).lastModified(), QFileDevice::FileModificationTime);
    out.close();
    place(out.fileName(), dst, mayReplace);
    out.setAutoRemove(false);
}

qint64 FileMover::copyBytes(QFile &in, QFile &out)
{
    static constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0)
            throw OperationError{DE_ACCESSDENIEDSRC, in.errorString()};
        if (n == 0)
            return copied;
        if (out.write(buffer.constData(), n) != n || !out.flush())
            throw OperationError{DE_ERRORONDEST, out.errorString()};
        copied += n;
        m_progress.advance(n);
    }
}

void FileMover::copyLink(const QString &src, const QString &dst, bool mayReplace)
{
    QByteArray target(4096, '\0');
    const ssize_t n = ::readlink(native(src).constData(), target.data(), target.size());
    if (n < 0)
        throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    target.truncate(int(n));
    QString temp;
    for (int attempt = 0;; ++attempt) {
        temp = randomNameBeside(dst, "link");
        if (::symlink(target.constData(), native(temp).constData()) == 0)
            break;
        if (errno != EEXIST || attempt > 20)
            throw OperationError{DE_ERRORONDEST, reasonOf(errno)};
    }
    try {
        place(temp, dst, mayReplace);
    } catch (...) {
        if (::unlink(native(temp).constData()) != 0)
            qCWarning(lcFiles, "Cannot remove the link %s left by a failed copy: %s", qUtf8Printable(temp),
                      std::strerror(errno));
        throw;
    }
}

// The folder is built under a temporary name and renamed at the end,
// so an interrupted copy never leaves a half-filled folder behind.
void FileMover::copyFolder(const QString &src, const QString &dst, bool durable)
{
    QTemporaryDir temp(tempTemplate(dst));
    if (!temp.isValid())
        throw OperationError{DE_ERRORONDEST, temp.errorString()};
    copyContents(src, temp.path(), durable);
    ::chmod(native(temp.path()).constData(), entryOf(src).mode);
    place(temp.path(), dst, false);
    temp.setAutoRemove(false);
}

void FileMover::copyContents(const QString &src, const QString &dst, bool durable)
{
    for (const QString &name : childrenOf(src)) {
        const QString from = joined(src, name);
        const QString to = joined(dst, name);
        const Entry e = entryOf(from);
        if (!e.isDir) {
            copyFile(from, to, false, durable);
            continue;
        }
        if (::mkdir(native(to).constData(), 0700) != 0)
            throw OperationError{DE_ERRORONDEST, reasonOf(errno)};
        copyContents(from, to, durable);
        ::chmod(native(to).constData(), e.mode);
    }
}
