#pragma once
// Runs part of a test as an ordinary (unprivileged) user, for the faults
// that only show where permissions are enforced. As root the tests use the
// account "qmrtest" (made when missing); as any other user, that user.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

namespace OrdinaryUser {

struct Account {
    uid_t uid = 0;
    gid_t gid = 0;
};

// The account to run as, or nothing (with the reason in *why) when no
// unprivileged account can be had here.
std::optional<Account> account(QString *why = nullptr);

// Gives path and everything below it to the account, and lets it into
// path's parent folders (a temporary folder is only its owner's).
bool handOver(const QString &path);

// An environment whose home, data, config, cache and runtime folders lie
// under folder (made and handed over), with the display settings of this
// process kept.
QProcessEnvironment environmentIn(const QString &folder);

struct Result {
    bool started = false;
    bool finished = false;
    int exitCode = -1;
    QByteArray output;   // standard output and error together
};

// Makes the process start its program as the account (false when there is
// none); for a program that a test starts and talks to while it runs.
bool runAsAccount(QProcess &process);

// Runs program as the account and waits for it (at most timeoutMs).
Result run(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment, int timeoutMs = 60000);

// Runs one test of this same test program as the account: the child sees
// QMR_ORDINARY_CHILD=1 (see isChild()) and runs only `testName`
// ("Suite.Name"). Extra variables go into its environment.
Result runTest(const QString &testName, QProcessEnvironment environment, int timeoutMs = 60000);

// True in the child that runTest started; a child-only test skips otherwise.
bool isChild();

}
