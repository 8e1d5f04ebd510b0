#include "DesktopDatabase.h"

#include "DesktopLog.h"
#include "SmallFile.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace DesktopDatabase {

namespace {

// Runs a tool to its end, quietly; a tool that is missing is skipped.
void runTool(const QString &name, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qCWarning(lcDesktop, "%s %s did not succeed", qUtf8Printable(name), qUtf8Printable(arguments.join(' ')));
}

}

void refreshApplications(const QString &folder)
{
    runTool(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), folder});
}

void setMimePackage(const QString &fileName, const QByteArray &definition)
{
    const QString mime = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/mime");
    const QString package = mime + QStringLiteral("/packages/") + fileName;
    if (definition.isEmpty()) {
        if (!QFile::exists(package) || !QFile::remove(package))
            return;
    } else {
        bool changed = false;
        if (!SmallFile::writeIfChanged(package, definition, &changed) || !changed)
            return;
    }
    runTool(QStringLiteral("update-mime-database"), {mime});
}

}
