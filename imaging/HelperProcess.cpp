#include "HelperProcess.h"

#include "DecodeDeadline.h"

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= written;
    }
}

[[noreturn]] void childMain(int fd, const std::function<QByteArray()> &work)
{
    int status = 1;
    try {
        const QByteArray output = work();
        writeAll(fd, output.constData(), output.size());
        status = output.isEmpty() ? 1 : 0;
    } catch (const std::exception &e) {
        writeAll(fd, e.what(), qint64(std::strlen(e.what())));
        status = 2;
    } catch (...) {
        // Carried to the program as a failed conversion, which it reports.
        // No logging here: a lock another thread held at the fork would keep
        // the child waiting until it is stopped.
        status = 2;
    }
    // No exit handlers: they belong to the parent.
    ::_exit(status);
}

// Reads the child's output until it ends, the time is up or it is too
// long. False when stopped for time or length (*why says which).
bool collect(int fd, std::chrono::milliseconds limit, qint64 maxBytes, QByteArray &output, QString &why)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            why = DecodeDeadline::stoppedReason(double(limit.count()) / 1000.0);
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left.count()));
        if (ready <= 0 && (ready == 0 || errno == EINTR))
            continue;
        const ssize_t got = ready < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        // A pipe that cannot be read is no end of the helper: it is stopped,
        // never waited for.
        if (got < 0) {
            why = QStringLiteral("its output could not be read");
            return false;
        }
        if (got == 0)
            return true;
        if (output.size() + got > maxBytes) {
            why = QStringLiteral("its drawing is too large");
            return false;
        }
        output.append(buffer, int(got));
    }
}

}

namespace HelperProcess {

Result run(const std::function<QByteArray()> &work, std::chrono::milliseconds limit, qint64 maxBytes)
{
    Result result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.failure = QStringLiteral("no helper process could be started");
        return result;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A helper forked by another thread at the same moment would
        // otherwise hold this one's pipe open, and its reader would wait
        // for both to end: keep only the standard streams and our pipe.
        ::close_range(3, unsigned(fds[1]) - 1, 0);
        ::close_range(unsigned(fds[1]) + 1, ~0U, 0);
        // A helper outlives no program: ended by a signal or a crash, the
        // program takes its helper with it rather than leave it drawing.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
        childMain(fds[1], work);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        result.failure = QStringLiteral("no helper process could be started");
        return result;
    }
    QString why;
    const bool ended = collect(fds[0], limit, maxBytes, result.output, why);
    ::close(fds[0]);
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended) {
        result.failure = why;
    } else if (WIFSIGNALED(status)) {
        result.failure = QStringLiteral("the converter crashed on it");
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || result.output.isEmpty()) {
        result.failure = QStringLiteral("the converter could not convert it");
        if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
            result.thrown = QString::fromUtf8(result.output);
    } else {
        result.ok = true;
        return result;
    }
    result.output.clear();
    return result;
}

}
