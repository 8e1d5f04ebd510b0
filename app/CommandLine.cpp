#include "CommandLine.h"

#include <QDir>

namespace CommandLine {

QString join(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

Switch switchOf(const QString &commandLine)
{
    if (commandLine == DeAssociateSwitch)
        return Switch::DeAssociate;
    if (commandLine == AssociateSwitch)
        return Switch::Associate;
    return Switch::None;
}

int IndexOf(const QStringList &list, const QString &item)
{
    const int index = list.indexOf(item);
    return index < 0 ? 0 : index;
}

QString absolutePath(const QString &path)
{
    if (path.isEmpty() || !QDir::isRelativePath(path))
        return path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

}
