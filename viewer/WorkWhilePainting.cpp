#include "WorkWhilePainting.h"

#include <QEventLoop>
#include <QThreadPool>

#include <exception>
#include <memory>
#include <mutex>

namespace WorkWhilePainting {

namespace {

// What the worker and the waiting loop share. The loop is known to the
// worker only while it runs, under the lock, so the worker never wakes
// a loop that is gone.
struct Shared {
    std::mutex mutex;
    QEventLoop *loop = nullptr;
    bool done = false;
    std::exception_ptr error;
};

}

bool run(std::function<void()> work)
{
    auto shared = std::make_shared<Shared>();
    QEventLoop loop;
    shared->loop = &loop;
    QThreadPool::globalInstance()->start([shared, work = std::move(work)] {
        std::exception_ptr error;
        try {
            work();
        } catch (...) {
            // Not swallowed: carried to the waiting thread, which rethrows it.
            error = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->done = true;
        shared->error = error;
        if (shared->loop)
            QMetaObject::invokeMethod(shared->loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->loop = nullptr;
    if (!shared->done)
        return false;
    if (shared->error)
        std::rethrow_exception(shared->error);
    return true;
}

}
