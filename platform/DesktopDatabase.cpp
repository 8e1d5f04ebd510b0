#include "DesktopDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
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
    process.waitForFinished(30000);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
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
    } else if (readAll(package) == definition || !writeAll(package, definition)) {
        return;
    }
    runTool(QStringLiteral("update-mime-database"), {mime});
}

}
