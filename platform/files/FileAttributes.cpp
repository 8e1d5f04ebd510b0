#include "FileAttributes.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace FileAttributes {

std::uint32_t get(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Invalid;
    const QFileInfo info(path);
    std::uint32_t attributes = 0;
    if (info.fileName().startsWith(QLatin1Char('.')))
        attributes |= Hidden;
    if (S_ISDIR(st.st_mode)) {
        attributes |= Directory;
    } else if (S_ISREG(st.st_mode)) {
        attributes |= Archive;
        if (!info.isWritable())
            attributes |= ReadOnly;
    } else {
        attributes |= System;
    }
    return attributes ? attributes : Normal;
}

}
