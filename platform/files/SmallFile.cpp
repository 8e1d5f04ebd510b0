#include "SmallFile.h"

#include "FilesLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SmallFile {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeIfChanged(const QString &path, const QByteArray &content, bool *changed)
{
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly)) {
            qCWarning(lcFiles, "Cannot read %s: %s", qUtf8Printable(path), qUtf8Printable(current.errorString()));
            return false;
        }
        if (current.readAll() == content)
            return true;
        current.close();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        qCWarning(lcFiles, "Cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    if (changed)
        *changed = true;
    return true;
}

}
