#include "ShellFileOperation.h"

#include "FilesLog.h"
#include "Prompts.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

// Nothing here ever loses a file. Copies are written under a temporary name
// in the destination folder and renamed into place at the end, so a failed
// or cancelled copy leaves no partial file; an existing file is replaced only
// after the user agreed, and even then in one atomic rename. A move to
// another file system copies, checks, and only then removes the source.

namespace {

// A failure that ends the operation: the result code and the reason shown.
struct OperationError {
    int code;
    QString reason;
};

// The user pressed Cancel in a question or in the progress window.
struct OperationCancelled {};

enum class ItemResult { Done, Skipped };

QByteArray native(const QString &path) { return QFile::encodeName(path); }

QString reasonOf(int err) { return QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char('.'); }

// What lstat says about a path: links are never followed, so a link to a
// folder is copied, moved and deleted as the link itself.
struct Entry {
    bool exists = false;
    bool isDir = false;
    bool isRegular = false;
    bool isLink = false;
    dev_t dev = 0;
    ino_t ino = 0;
    qint64 size = 0;
    mode_t mode = 0;
};

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

bool isFolder(const QString &path) { return QFileInfo(path).isDir(); }   // follows links

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

// The names in a folder, "." and ".." left out. Unlike QDir, a folder that
// cannot be read is an error rather than an empty list.
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

// Puts `from` at `to` and returns 0 or the error number. Without mayReplace
// an existing `to` is never replaced, not even one that appeared after we
// looked.
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

// The freedesktop trash. A file goes to the trash of its own volume: the
// home trash for the home volume, else the volume's top-level trash. It is
// never copied across volumes, and a volume without a usable trash gives
// false, leaving the file where it was.
class FreedesktopTrash {
public:
    static bool moveToTrash(const QString &path)
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

private:
    static QString homeTrash()
    {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty() || !QDir::isAbsolutePath(data))
            data = QDir::homePath() + QStringLiteral("/.local/share");
        return cleaned(data) + QStringLiteral("/Trash");
    }

    static dev_t deviceOf(const QString &path)
    {
        struct stat st;
        return ::stat(native(path).constData(), &st) == 0 ? st.st_dev : dev_t(-1);
    }

    static QString nearestExisting(QString path)
    {
        while (!entryOf(path).exists && path != QLatin1String("/"))
            path = parentOf(path);
        return path;
    }

    // The highest folder above the path on the same device: its mount point.
    static QString topFolderOf(const QString &path, dev_t device)
    {
        QString top = parentOf(path);
        while (top != QLatin1String("/") && deviceOf(parentOf(top)) == device)
            top = parentOf(top);
        return top;
    }

    static QString relativeTo(const QString &top, const QString &path) { return QDir(top).relativeFilePath(path); }

    // Makes the trash folder with its "files" and "info" folders; each must
    // be a real folder (not a link) for the trash to be used.
    static bool prepare(const QString &trash, bool makeParents)
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
    static bool moveInto(const QString &trash, const QString &absolute, const QString &pathForInfo)
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

    static QString uniqueName(const QFileInfo &item, int n)
    {
        const QString suffix = item.completeSuffix();
        const QString base = item.fileName().left(item.fileName().size() - (suffix.isEmpty() ? 0 : suffix.size() + 1));
        return suffix.isEmpty() || base.isEmpty() ? QStringLiteral("%1.%2").arg(item.fileName()).arg(n)
                                                   : QStringLiteral("%1.%2.%3").arg(base).arg(n).arg(suffix);
    }
};

// The sum of the sizes of the files below the paths, for the progress bar.
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

// The progress window: it appears only when the work takes a while, and
// its Cancel button ends the operation at the next step.
class Progress {
public:
    Progress(QWidget *owner, const QString &title, qint64 total)
        : m_owner(owner), m_title(title), m_total(total)
    {
        m_clock.start();
    }

    void setItem(const QString &name) { m_item = name; }
    void setTotal(qint64 total) { m_total = total; }

    void advance(qint64 bytes)
    {
        m_done += bytes;
        if (m_clock.elapsed() < kDelayMs || !qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        if (!m_dialog)
            open();
        if (m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < 50)
            return;
        m_sinceUpdate.start();
        m_dialog->setLabelText(m_item);
        if (m_total > 0)
            m_dialog->setValue(int(qMin<qint64>(999, m_done * 1000 / m_total)));
        QCoreApplication::processEvents();
        if (m_dialog && m_dialog->wasCanceled())
            throw OperationCancelled{};
    }

private:
    static constexpr int kDelayMs = 700;

    void open()
    {
        m_dialog.reset(new QProgressDialog(m_item, QStringLiteral("Cancel"), 0, m_total > 0 ? 1000 : 0, m_owner));
        m_dialog->setWindowTitle(m_title);
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }

    QPointer<QWidget> m_owner;
    QString m_title;
    QString m_item;
    qint64 m_total;
    qint64 m_done = 0;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceUpdate;
    std::unique_ptr<QProgressDialog> m_dialog;
};

// Copies, moves and removes single items on the file system, reporting
// failures as OperationError.
class FileMover {
public:
    explicit FileMover(Progress &progress) : m_progress(progress) {}

    void copyItem(const QString &src, const QString &dst, bool mayReplace)
    {
        if (entryOf(src).isDir)
            copyFolder(src, dst, false);
        else
            copyFile(src, dst, mayReplace, false);
    }

    // Copies the folder's contents into an existing folder; files of the
    // same name are replaced (the user agreed to that for the whole folder).
    void mergeCopy(const QString &src, const QString &dst)
    {
        for (const QString &name : childrenOf(src)) {
            const QString from = joined(src, name);
            const QString to = joined(dst, name);
            if (mergeConflict(from, to))
                mergeCopy(from, to);
            else
                copyItem(from, to, true);
        }
    }

    void moveItem(const QString &src, const QString &dst, bool mayReplace)
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

    void mergeMove(const QString &src, const QString &dst)
    {
        for (const QString &name : childrenOf(src)) {
            const QString from = joined(src, name);
            const QString to = joined(dst, name);
            if (mergeConflict(from, to))
                mergeMove(from, to);
            else
                moveItem(from, to, true);
        }
        if (::rmdir(native(src).constData()) != 0)
            throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    }

    void removeItem(const QString &path)
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

private:
    // The copy stands in the destination, and the file it replaced is kept
    // aside, until the source is gone; a source that cannot be removed (a
    // write-protected folder) takes the copy away and puts the old file back.
    void moveFileAcross(const QString &src, const QString &dst, bool mayReplace)
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
            qCWarning(lcFiles, "Cannot move %s to %s", qUtf8Printable(src), qUtf8Printable(dst));
            if (!aside.isEmpty())
                renameEntry(aside, dst, false);
            throw;
        }
        if (!aside.isEmpty())
            ::unlink(native(aside).constData());
    }

    // A folder's source files are removed one by one, which cannot be
    // undone halfway: so the folder moves only when all of it can go.
    void moveFolderAcross(const QString &src, const QString &dst)
    {
        requireWritable(parentOf(src));
        requireRemovableContents(src);
        copyFolder(src, dst, true);
        removeItem(src);
    }

    static void requireWritable(const QString &folder)
    {
        if (::faccessat(AT_FDCWD, native(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
            throw OperationError{DE_ACCESSDENIEDSRC, reasonOf(errno)};
    }

    static void requireRemovableContents(const QString &folder)
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
    static QString setAside(const QString &path)
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
    static bool mergeConflict(const QString &from, const QString &to)
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

    static QString tempTemplate(const QString &dst) { return joined(parentOf(dst), QStringLiteral(".qmr-copy-XXXXXX")); }

    // A hidden name in the path's folder, likely free; the caller claims it
    // and tries another when it was taken.
    static QString randomNameBeside(const QString &path, const char *kind)
    {
        return joined(parentOf(path), QStringLiteral(".qmr-%1-%2")
                                          .arg(QLatin1String(kind))
                                          .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    }

    void place(const QString &temp, const QString &dst, bool mayReplace)
    {
        const int err = renameEntry(temp, dst, mayReplace);
        if (err == EEXIST)
            throw OperationError{DE_ERRORONDEST,
                                 QStringLiteral("A file named \"%1\" appeared in the destination meanwhile.").arg(nameOf(dst))};
        if (err)
            throw OperationError{DE_ERRORONDEST, reasonOf(err)};
    }

    void copyFile(const QString &src, const QString &dst, bool mayReplace, bool durable)
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

    qint64 copyBytes(QFile &in, QFile &out)
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

    void copyLink(const QString &src, const QString &dst, bool mayReplace)
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
            qCWarning(lcFiles, "Cannot copy the link %s to %s", qUtf8Printable(src), qUtf8Printable(dst));
            ::unlink(native(temp).constData());
            throw;
        }
    }

    // The folder is built under a temporary name and renamed at the end,
    // so an interrupted copy never leaves a half-filled folder behind.
    void copyFolder(const QString &src, const QString &dst, bool durable)
    {
        QTemporaryDir temp(tempTemplate(dst));
        if (!temp.isValid())
            throw OperationError{DE_ERRORONDEST, temp.errorString()};
        copyContents(src, temp.path(), durable);
        ::chmod(native(temp.path()).constData(), entryOf(src).mode);
        place(temp.path(), dst, false);
        temp.setAutoRemove(false);
    }

    void copyContents(const QString &src, const QString &dst, bool durable)
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

    Progress &m_progress;
};

// One call of the service.
class FileOperation {
public:
    explicit FileOperation(const SHFILEOPSTRUCT &op)
        : m_op(op), m_progress(op.hwnd, progressTitle(op.wFunc), 0), m_mover(m_progress)
    {
        m_given = splitPathList(op.pFrom);
        for (const QString &path : m_given)
            m_sources << cleaned(path);
        for (const QString &path : splitPathList(op.pTo))
            m_targets << cleaned(path);
    }

    int run()
    {
        try {
            if (m_sources.isEmpty() || verb().isEmpty())
                return DE_INVALIDFILES;
            for (const QString &src : m_sources) {
                if (!entryOf(src).exists)
                    return fail(src, DE_INVALIDFILES, QStringLiteral("Cannot find the specified file.\n\n"
                                                                     "Make sure you specify the correct path and file name."));
                if (QFileInfo(src).fileName().isEmpty())
                    return fail(src, DE_ACCESSDENIEDSRC, QStringLiteral("The root folder cannot be changed."));
            }
            switch (m_op.wFunc) {
            case FO_DELETE: return runDelete();
            case FO_RENAME: return runRename();
            default: return runTransfer();
            }
        } catch (const OperationError &e) {
            return fail(m_current, e.code, e.reason);
        } catch (const OperationCancelled &) {
            return cancelled();
        }
    }

    bool aborted() const { return m_aborted; }
    const QStringList &done() const { return m_done; }

private:
    static QString progressTitle(unsigned func)
    {
        switch (func) {
        case FO_COPY: return QStringLiteral("Copying...");
        case FO_MOVE: return QStringLiteral("Moving...");
        default: return QStringLiteral("Deleting...");
        }
    }

    QString verb() const
    {
        switch (m_op.wFunc) {
        case FO_COPY: return QStringLiteral("copy");
        case FO_MOVE: return QStringLiteral("move");
        case FO_DELETE: return QStringLiteral("delete");
        case FO_RENAME: return QStringLiteral("rename");
        default: return QString();
        }
    }

    QString errorTitle() const
    {
        switch (m_op.wFunc) {
        case FO_COPY: return QStringLiteral("Error Copying File or Folder");
        case FO_MOVE: return QStringLiteral("Error Moving File or Folder");
        case FO_DELETE: return QStringLiteral("Error Deleting File or Folder");
        default: return QStringLiteral("Error Renaming File or Folder");
        }
    }

    int fail(const QString &path, int code, const QString &reason)
    {
        Prompts::MsgBox(QStringLiteral("Cannot %1 \"%2\": %3").arg(verb(), nameOf(path), reason),
                        Prompts::OKOnly | Prompts::Critical, errorTitle());
        return code;
    }

    int cancelled()
    {
        m_aborted = true;
        return ERROR_CANCELLED;
    }

    int finished() { return m_aborted ? ERROR_CANCELLED : 0; }

    // Yes, No or Cancel; Cancel is offered only while more items follow.
    int ask(const QString &text, const QString &title, bool moreFollow, int icon = Prompts::Exclamation)
    {
        const int answer = Prompts::MsgBox(text, (moreFollow ? Prompts::YesNoCancel : Prompts::YesNo) | icon, title);
        if (answer == Prompts::Cancel)
            throw OperationCancelled{};
        return answer;
    }

    // ---- delete ----

    int runDelete()
    {
        const bool toTrash = m_op.fFlags & FOF_ALLOWUNDO;
        if (Prompts::MsgBox(deleteQuestion(toTrash), Prompts::YesNo | (toTrash ? Prompts::Question : Prompts::Exclamation),
                            deleteTitle()) != Prompts::Yes)
            return cancelled();
        for (int i = 0; i < m_sources.size(); ++i) {
            m_current = m_sources[i];
            if (toTrash && FreedesktopTrash::moveToTrash(m_current)) {
                m_done << m_given[i];
            } else if (!toTrash || confirmPermanent(i + 1 < m_sources.size())) {
                m_mover.removeItem(m_current);
                m_done << m_given[i];
            }
        }
        return finished();
    }

    bool confirmPermanent(bool moreFollow)
    {
        const QString text = QStringLiteral("\"%1\" cannot be moved to the Recycle Bin.\n\n"
                                            "Do you want to delete it permanently?").arg(nameOf(m_current));
        // Yes loses the file for good: Enter must not answer it.
        if (ask(text, deleteTitle(), moreFollow, Prompts::Exclamation | Prompts::DefaultButton2) == Prompts::Yes)
            return true;
        m_aborted = true;
        return false;
    }

    QString deleteTitle() const
    {
        if (m_sources.size() > 1)
            return QStringLiteral("Delete Multiple Items");
        return entryOf(m_sources.first()).isDir ? QStringLiteral("Delete Folder") : QStringLiteral("Delete File");
    }

    QString deleteQuestion(bool toTrash) const
    {
        if (m_sources.size() > 1)
            return toTrash ? QStringLiteral("Are you sure you want to move these %1 items to the Recycle Bin?").arg(m_sources.size())
                           : QStringLiteral("Are you sure you want to permanently delete these %1 items?").arg(m_sources.size());
        const QString name = nameOf(m_sources.first());
        if (entryOf(m_sources.first()).isDir)
            return toTrash ? QStringLiteral("Are you sure you want to move the folder \"%1\" and all its contents to the Recycle Bin?").arg(name)
                           : QStringLiteral("Are you sure you want to permanently delete the folder \"%1\" and all its contents?").arg(name);
        return toTrash ? QStringLiteral("Are you sure you want to move \"%1\" to the Recycle Bin?").arg(name)
                       : QStringLiteral("Are you sure you want to permanently delete \"%1\"?").arg(name);
    }

    // ---- rename ----

    int runRename()
    {
        m_current = m_sources.first();
        if (m_sources.size() != 1 || m_targets.size() != 1)
            return fail(m_current, DE_INVALIDFILES, QStringLiteral("Only one item can be renamed at a time."));
        if (int code = checkNewName(splitPathList(m_op.pTo).first()))
            return code;
        const QString target = m_targets.first();
        if (target == m_current)
            return 0;
        const Entry src = entryOf(m_current);
        const Entry dst = entryOf(target);
        // The same entry under another spelling (a change of letter case on
        // a file system that ignores case) is renamed in place.
        const bool occupied = dst.exists && !sameEntry(src, dst);
        if (occupied && (src.isDir || dst.isDir))
            return fail(m_current, DE_FILEDESTISFLD, QStringLiteral("A file or folder with the name you specified already exists. "
                                                                    "Specify a different name."));
        if (occupied && Prompts::MsgBox(replaceQuestion(target), Prompts::YesNo | Prompts::Exclamation,
                                        QStringLiteral("Confirm File Replace")) != Prompts::Yes)
            return cancelled();
        const int err = renameEntry(m_current, target, occupied || sameEntry(src, dst));
        if (err)
            return fail(m_current, err == EEXIST ? DE_ERRORONDEST : DE_ACCESSDENIEDSRC, reasonOf(err));
        m_done << m_given.first();
        return 0;
    }

    // A new name is a name, never a path: the target must be the source's
    // folder as given, then the name, without steps such as "sub/.." that
    // would lead back into the same folder.
    int checkNewName(const QString &target)
    {
        const QString typed = withoutDoubledSlashes(target);
        QString source = withoutDoubledSlashes(m_given.first());
        if (source.size() > 1 && source.endsWith(QLatin1Char('/')))
            source.chop(1);   // a folder given with its closing slash
        const int cut = typed.lastIndexOf(QLatin1Char('/'));
        const QString name = typed.mid(cut + 1);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            return fail(m_current, DE_INVALIDFILES, QStringLiteral("The file name \"%1\" is not valid.").arg(name));
        if (name.isEmpty() || cut != source.lastIndexOf(QLatin1Char('/')) || !typed.startsWith(source.left(cut + 1)))
            return fail(m_current, DE_DIFFDIR, QStringLiteral("A file name cannot contain the character \"/\"."));
        return 0;
    }

    static QString withoutDoubledSlashes(QString path)
    {
        while (path.contains(QLatin1String("//")))
            path.replace(QLatin1String("//"), QLatin1String("/"));
        return path;
    }

    // ---- copy and move ----

    int runTransfer()
    {
        m_current = m_sources.first();
        if (m_targets.isEmpty())
            return fail(m_current, DE_INVALIDFILES, QStringLiteral("No destination was given."));
        QStringList targets;
        if (!resolveTargets(targets))
            return cancelled();
        for (int i = 0; i < m_sources.size(); ++i)
            if (int code = checkPair(m_sources[i], targets[i]))
                return code;
        if (m_op.wFunc == FO_COPY) {
            qint64 total = 0;
            for (const QString &src : m_sources)
                total += totalSize(src);
            m_progress.setTotal(total);
        }
        for (int i = 0; i < m_sources.size(); ++i) {
            m_current = m_sources[i];
            if (transferOne(m_sources[i], targets[i], i + 1 < m_sources.size()) == ItemResult::Skipped)
                m_aborted = true;
            else
                m_done << m_given[i];
        }
        return finished();
    }

    // One source goes to the destination path itself, or into it when it is
    // an existing folder; several sources go into the destination folder.
    // A missing destination folder is made after the user agreed.
    bool resolveTargets(QStringList &targets)
    {
        const QString dest = m_targets.first();
        if (m_sources.size() == 1) {
            const QString src = m_sources.first();
            const bool into = isFolder(dest) && !sameEntry(entryOf(src), entryOf(dest));
            targets << (into ? joined(dest, nameOf(src)) : dest);
            return ensureFolder(parentOf(targets.first()));
        }
        if (entryOf(dest).exists && !isFolder(dest))
            throw OperationError{DE_FLDDESTISFILE, QStringLiteral("The destination \"%1\" is a file, not a folder.").arg(nameOf(dest))};
        for (const QString &src : m_sources)
            targets << joined(dest, nameOf(src));
        return ensureFolder(dest);
    }

    bool ensureFolder(const QString &folder)
    {
        if (isFolder(folder))
            return true;
        if (entryOf(folder).exists)
            throw OperationError{DE_FLDDESTISFILE, QStringLiteral("The destination \"%1\" is a file, not a folder.").arg(nameOf(folder))};
        const QString text = QStringLiteral("The folder \"%1\" does not exist.\n\nDo you want to create it?").arg(folder);
        if (Prompts::MsgBox(text, Prompts::YesNo | Prompts::Question, QStringLiteral("Confirm Folder Create")) != Prompts::Yes)
            return false;
        if (!QDir().mkpath(folder))
            throw OperationError{DE_ERRORONDEST, QStringLiteral("The folder \"%1\" could not be created.").arg(folder)};
        return true;
    }

    // Refuses, before anything is done, what can never work.
    int checkPair(const QString &src, const QString &target)
    {
        m_current = src;
        if (sameEntry(entryOf(src), entryOf(target)))
            return fail(src, DE_SAMEFILE, QStringLiteral("The source and destination file names are the same."));
        if (entryOf(src).isDir) {
            const QString inside = QFileInfo(parentOf(target)).canonicalFilePath() + QLatin1Char('/');
            if (inside.startsWith(QFileInfo(src).canonicalFilePath() + QLatin1Char('/')))
                return fail(src, DE_DESTSUBTREE, QStringLiteral("The destination folder is a subfolder of the source folder."));
        }
        return 0;
    }

    ItemResult transferOne(const QString &src, const QString &target, bool moreFollow)
    {
        const bool move = m_op.wFunc == FO_MOVE;
        const Entry s = entryOf(src);
        const Entry t = entryOf(target);
        if (!t.exists) {
            move ? m_mover.moveItem(src, target, false) : m_mover.copyItem(src, target, false);
            return ItemResult::Done;
        }
        if (s.isDir && t.isDir) {
            if (ask(mergeQuestion(target), QStringLiteral("Confirm Folder Replace"), moreFollow) != Prompts::Yes)
                return ItemResult::Skipped;
            move ? m_mover.mergeMove(src, target) : m_mover.mergeCopy(src, target);
            return ItemResult::Done;
        }
        if (s.isDir)
            throw OperationError{DE_FLDDESTISFILE, QStringLiteral("A file with the same name already exists in the destination.")};
        if (t.isDir)
            throw OperationError{DE_FILEDESTISFLD, QStringLiteral("A folder with the same name already exists in the destination.")};
        if (ask(replaceQuestion(target), QStringLiteral("Confirm File Replace"), moreFollow) != Prompts::Yes)
            return ItemResult::Skipped;
        move ? m_mover.moveItem(src, target, true) : m_mover.copyItem(src, target, true);
        return ItemResult::Done;
    }

    static QString replaceQuestion(const QString &target)
    {
        return QStringLiteral("This folder already contains a file named \"%1\".\n\n"
                              "Do you want to replace the existing file?").arg(nameOf(target));
    }

    static QString mergeQuestion(const QString &target)
    {
        return QStringLiteral("This folder already contains a folder named \"%1\".\n\n"
                              "If files in the existing folder have the same names as files in the folder "
                              "you are moving or copying, they will be replaced. Do you still want to move "
                              "or copy the folder?").arg(nameOf(target));
    }

    const SHFILEOPSTRUCT &m_op;
    QStringList m_given;     // the sources as the caller spelt them
    QStringList m_sources;
    QStringList m_done;      // the given sources carried out
    QStringList m_targets;
    QString m_current;
    bool m_aborted = false;
    Progress m_progress;
    FileMover m_mover;
};

}

QStringList splitPathList(const QString &list)
{
    return list.split(QChar(u'\0'), Qt::SkipEmptyParts);
}

int SHFileOperation(SHFILEOPSTRUCT &op)
{
    FileOperation operation(op);
    const int result = operation.run();
    op.fAnyOperationsAborted = operation.aborted();
    op.doneItems = operation.done();
    return result;
}
