#include "FileSystemObject.h"

#include <QFileInfo>

namespace {
QString withoutTrailingSlashes(const QString &path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}
}

QString FileSystemObject::GetParentFolderName(const QString &path) const
{
    const QString p = withoutTrailingSlashes(path);
    if (p == QLatin1String("/"))
        return QString();
    const int slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return p.left(slash);
}

QString FileSystemObject::GetFileName(const QString &path) const
{
    const QString p = withoutTrailingSlashes(path);
    if (p == QLatin1String("/"))
        return QString();
    return p.mid(p.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileSystemObject::GetExtensionName(const QString &path) const
{
    const QString name = GetFileName(path);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

bool FileSystemObject::FileExists(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FileSystemObject::FolderExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

FileSystemObject &FSO()
{
    static FileSystemObject instance;
    return instance;
}
