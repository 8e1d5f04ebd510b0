#include "OrdinaryUser.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OrdinaryUser {

namespace {
const char *const accountName = "qmrtest";

std::optional<Account> lookUp()
{
    const passwd *entry = getpwnam(accountName);
    if (!entry)
        return std::nullopt;
    return Account{entry->pw_uid, entry->pw_gid};
}
}

std::optional<Account> account(QString *why)
{
    if (geteuid() != 0)
        return Account{geteuid(), getegid()};
    if (auto found = lookUp())
        return found;
    QProcess::execute("useradd", {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                                  accountName});
    if (auto made = lookUp())
        return made;
    if (why)
        *why = QString("no unprivileged account: useradd %1 failed").arg(accountName);
    return std::nullopt;
}

bool handOver(const QString &path)
{
    const auto user = account();
    if (!user)
        return false;
    if (geteuid() != 0)
        return true;
    bool ok = ::chown(QFile::encodeName(path).constData(), user->uid, user->gid) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = ::lchown(QFile::encodeName(it.next()).constData(), user->uid, user->gid) == 0 && ok;
    // The way in: every parent folder must let others pass.
    // (chmod keeps the other mode bits, such as /tmp's sticky bit.)
    for (QDir parent = QFileInfo(path).absoluteDir(); !parent.isRoot(); parent.cdUp()) {
        const QByteArray name = QFile::encodeName(parent.absolutePath());
        struct stat info {};
        if (::stat(name.constData(), &info) == 0 && (info.st_mode & S_IXOTH) == 0)
            ::chmod(name.constData(), (info.st_mode & 07777) | S_IXOTH | S_IXGRP);
    }
    return ok;
}

QProcessEnvironment environmentIn(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QStringList subs = {"home", "data", "config", "cache", "runtime", "desktop"};
    for (const QString &sub : subs)
        QDir().mkpath(folder + "/" + sub);
    QFile::setPermissions(folder + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("HOME", folder + "/home");
    env.insert("QUILLMERE_HOME", folder + "/home/quillmere");
    env.insert("XDG_DATA_HOME", folder + "/data");
    env.insert("XDG_CONFIG_HOME", folder + "/config");
    env.insert("XDG_CACHE_HOME", folder + "/cache");
    env.insert("XDG_RUNTIME_DIR", folder + "/runtime");
    QFile dirs(folder + "/config/user-dirs.dirs");
    if (dirs.open(QIODevice::WriteOnly))
        dirs.write(QByteArray("XDG_DESKTOP_DIR=\"") + QFile::encodeName(folder + "/desktop") + "\"\n");
    dirs.close();
    handOver(folder);
    return env;
}

bool runAsAccount(QProcess &process)
{
    const auto user = account();
    if (!user)
        return false;
    const Account who = *user;
    process.setChildProcessModifier([who] {
        if (geteuid() != 0)
            return;
        ::setgroups(0, nullptr);
        if (::setgid(who.gid) != 0 || ::setuid(who.uid) != 0)
            ::_exit(126);
    });
    return true;
}

Result run(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment, int timeoutMs)
{
    Result result;
    QProcess process;
    if (!runAsAccount(process))
        return result;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    result.started = process.waitForStarted();
    if (!result.started)
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitCode();
    result.output = process.readAll();
    return result;
}

Result runTest(const QString &testName, QProcessEnvironment environment, int timeoutMs)
{
    environment.insert("QMR_ORDINARY_CHILD", "1");
    return run(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + testName},
               environment, timeoutMs);
}

bool isChild()
{
    return qEnvironmentVariableIntValue("QMR_ORDINARY_CHILD") == 1;
}

}
