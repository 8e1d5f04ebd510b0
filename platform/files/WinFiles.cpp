#include "WinFiles.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace WinFiles {

QString shortPath(const QString &longPath)
{
    if (longPath.isEmpty() || !QFileInfo::exists(longPath))
        return QString();
    return longPath;
}

QStringList driveRoots()
{
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        QString root = volume.rootPath();
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        if (!roots.contains(root))
            roots << root;
    }
    return roots;
}

QString expandEnvironmentStrings(const QString &text)
{
    QString result;
    int i = 0;
    while (i < text.size()) {
        const int start = text.indexOf(QLatin1Char('%'), i);
        if (start < 0) {
            result += text.mid(i);
            break;
        }
        const int end = text.indexOf(QLatin1Char('%'), start + 1);
        if (end < 0) {
            result += text.mid(i);
            break;
        }
        result += text.mid(i, start - i);
        const QString name = text.mid(start + 1, end - start - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            result += qEnvironmentVariable(name.toLocal8Bit().constData());
            i = end + 1;
        } else {
            // Not a variable: keep the first "%" and look again from the second.
            result += text.mid(start, end - start);
            i = end;
        }
    }
    return result;
}

}
