#include "WorkWhilePainting.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <memory>

namespace WorkWhilePainting {

bool run(std::function<void()> work)
{
    // The worker's outcome: what it threw, or nothing. The watcher stops
    // listening when it goes, so a worker that ends after the wait gave up
    // wakes no one.
    auto promise = std::make_shared<QPromise<std::exception_ptr>>();
    QFutureWatcher<std::exception_ptr> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
        std::exception_ptr error;
        try {
            work();
        } catch (...) {
            // Not swallowed: carried to the waiting thread, which rethrows it.
            error = std::current_exception();
        }
        promise->addResult(error);
        promise->finish();
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    const QFuture<std::exception_ptr> outcome = watcher.future();
    if (!outcome.isFinished())
        return false;
    if (const std::exception_ptr error = outcome.result())
        std::rethrow_exception(error);
    return true;
}

}
