#include "SingleInstance.h"

#include "AppPaths.h"

#include <QDir>
#include <QLockFile>

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance()
{
    if (m_held)
        m_lock->unlock();
}

QString SingleInstance::lockPath()
{
    return AppPaths::dataFolder() + QStringLiteral("/qmr.lock");
}

bool SingleInstance::anotherInstanceRuns()
{
    if (m_held)
        return false;
    QDir().mkpath(AppPaths::dataFolder());
    m_lock = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: a first instance may run for days. A lock whose
    // process has gone is still recognised as stale and removed.
    m_lock->setStaleLockTime(0);
    m_held = m_lock->tryLock(0);
    if (!m_held && m_lock->error() == QLockFile::LockFailedError)
        return true;
    // A lock that cannot be made at all (a read-only data folder) must not
    // keep the program from starting.
    return false;
}
