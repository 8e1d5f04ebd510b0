#include "TerminationSignals.h"

#include "ProcessLog.h"

#include <QCoreApplication>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1};
std::atomic<int> g_received{0};

// Only what is safe in a signal handler: the signal's number into the pipe.
void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

[[noreturn]] void endNow(int signal)
{
    qCWarning(lcProcess) << "still busy" << TerminationSignals::kGraceMs << "ms after signal" << signal
                         << "; ending now";
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    ::_exit(128 + signal);
}

// Waits on its own thread, so that a signal is served whatever the
// interface thread is doing. A zero byte tells it to stop.
void watch()
{
    char byte = 0;
    ssize_t got = 0;
    do
        got = ::read(g_pipe[0], &byte, 1);
    while (got < 0 && errno == EINTR);
    if (got <= 0 || byte == 0)
        return;
    g_received = byte;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    std::this_thread::sleep_for(std::chrono::milliseconds(TerminationSignals::kGraceMs));
    endNow(byte);
}

bool ignoredAtStart(int signal)
{
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC) != 0) {
        qCWarning(lcProcess) << "no pipe for the end signals:" << strerror(errno);
        return;
    }
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    // Never joined: the program may end with exit() anywhere (a lost
    // display), and the watch must not hold that up.
    std::thread(watch).detach();
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        if (!ignoredAtStart(signal))
            ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    // After a signal the watch stays on guard until the process is gone:
    // what follows (the windows' and threads' ends) may take long too.
    if (g_pipe[0] < 0 || received())
        return;
    for (const int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == onSignal)
            ::signal(signal, SIG_DFL);
    }
    // The watch ends; the pipe goes with the process.
    const char stop = 0;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &stop, 1);
}

bool TerminationSignals::received() const
{
    return g_received != 0;
}
