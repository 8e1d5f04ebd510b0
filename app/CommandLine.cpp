#include "CommandLine.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QString whyUnreadable(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) {
        // Qt reads the command line as UTF-8 and puts U+FFFD for every byte
        // that is not; such a name no longer leads to its file.
        if (path.contains(QChar::ReplacementCharacter))
            return QStringLiteral("The file name \"%1\" cannot be read: it is not valid UTF-8 text, and Quillmere "
                                  "can only open files whose names are. Rename the file to open it.").arg(path);
        return QString();
    }
    if (S_ISDIR(st.st_mode))
        return QString();
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("The file \"%1\" cannot be read: it is not an ordinary file but a pipe, a device "
                              "or a socket.").arg(path);
    // Without O_NONBLOCK a file swapped for a pipe meanwhile would hang here.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("The file \"%1\" cannot be read: %2.").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    return QString();
}

}
