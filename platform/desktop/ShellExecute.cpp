#include "ShellExecute.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace ShellExecute {

int open(const QString &file, const QString &parameters, const QString &workingFolder)
{
    const QFileInfo info(file);
    if (!info.exists())
        return 2;
    if (info.isFile() && info.isExecutable()) {
        QStringList args;
        if (!parameters.isEmpty())
            args << parameters;
        const QString folder = QFileInfo(workingFolder).isDir() ? workingFolder : info.absolutePath();
        return QProcess::startDetached(info.absoluteFilePath(), args, folder) ? 42 : 31;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? 42 : 31;
}

}
