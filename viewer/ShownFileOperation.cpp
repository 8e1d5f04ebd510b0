#include "ShownFileOperation.h"

#include "FileSystemObject.h"
#include "Prompts.h"
#include "ShellFileOperation.h"
#include "frmFile.h"

namespace {

// The destination the user chose, or nothing when the operation stops here.
std::optional<QString> askTarget(FileOpCode code, const QString &shown)
{
    if (code == opCopyTo || code == opMoveTo) {
        const QString folder = frmFile::ShowFileForm(code, shown);
        if (folder.isEmpty())
            return std::nullopt;
        return ShownFileOperation::destination(folder, shown);
    }
    if (code == opRename) {
        const QString name = Prompts::InputBox(QStringLiteral("File Name:"), QStringLiteral("Rename File"),
                                               FSO().GetFileName(shown));
        // Cancel and an empty name both name the folder itself.
        const QString target = ShownFileOperation::renamed(shown, name);
        if (FSO().FolderExists(target) || target == shown)
            return std::nullopt;
        return target;
    }
    return QString();
}

SHFILEOPSTRUCT recordFor(FileOpCode code, const QString &shown, const QString &target, QWidget *owner)
{
    SHFILEOPSTRUCT op;
    op.hwnd = owner;
    op.pFrom = shown;
    op.pTo = target;
    switch (code) {
    case opCopyTo: op.wFunc = FO_COPY; break;
    case opMoveTo: op.wFunc = FO_MOVE; break;
    case opDelete: op.wFunc = FO_DELETE; op.fFlags = FOF_ALLOWUNDO; break;
    case opDeletePermanent: op.wFunc = FO_DELETE; break;
    case opRename: op.wFunc = FO_RENAME; break;
    }
    return op;
}

}

QString ShownFileOperation::destination(const QString &folder, const QString &shown)
{
    const QString separator = folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    return folder + separator + FSO().GetFileName(shown);
}

QString ShownFileOperation::renamed(const QString &shown, const QString &name)
{
    QString folder = FSO().GetParentFolderName(shown);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + name;
}

ShownFileOperation::Result ShownFileOperation::run(FileOpCode code, const QString &shown, QWidget *owner)
{
    Result result;
    const std::optional<QString> target = askTarget(code, shown);
    if (!target)
        return result;
    result.newPath = *target;
    SHFILEOPSTRUCT op = recordFor(code, shown, *target, owner);
    if (SHFileOperation(op) != 0)
        return result;
    // A copy, and anything the user stopped in the service's own windows,
    // leaves the file in its place.
    if (FSO().FileExists(shown))
        return result;
    result.outcome = code == opRename ? Outcome::Renamed : Outcome::Gone;
    return result;
}
