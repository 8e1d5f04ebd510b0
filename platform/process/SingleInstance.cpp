#include "SingleInstance.h"

#include "AppPaths.h"
#include "ProcessLog.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstance::lockPath()
{
    return AppPaths::dataFolder() + QStringLiteral("/qmr.lock");
}

bool SingleInstance::anotherInstanceRuns()
{
    if (m_fd >= 0)
        return false;
    QDir().mkpath(AppPaths::dataFolder());
    const QByteArray path = QFile::encodeName(lockPath());
    // Not inherited: a program started from here must not hold the lock
    // after this one has ended.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    // A lock that cannot be had at all (a read-only data folder) must not
    // keep the program from starting.
    if (fd < 0) {
        qCWarning(lcProcess, "Cannot open the lock file %s: %s", path.constData(), std::strerror(errno));
        return false;
    }
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        m_fd = fd;
        return false;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}
