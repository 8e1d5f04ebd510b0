#include "ShellFileOperation.h"

#include "FileMover.h"
#include "FileOps.h"
#include "FreedesktopTrash.h"
#include "OperationProgress.h"
#include "Prompts.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

// Nothing here ever loses a file. Copies are written under a temporary name
// in the destination folder and renamed into place at the end, so a failed
// or cancelled copy leaves no partial file; an existing file is replaced only
// after the user agreed, and even then in one atomic rename. A move to
// another file system copies, checks, and only then removes the source.

using namespace FileOps;

namespace {

enum class ItemResult { Done, Skipped };

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
            m_mover.merge(src, target, move);
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
    OperationProgress m_progress;
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
