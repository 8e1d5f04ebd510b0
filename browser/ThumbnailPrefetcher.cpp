#include "ThumbnailPrefetcher.h"

#include "ThumbnailMaker.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QMutex>
#include <QVector>
#include <QWaitCondition>
#include <atomic>

namespace {

// Files or images this large take hundreds of megabytes each to read and
// decode at full size; only one of them is made at a time.
constexpr qint64 LargeFileBytes = 64LL * 1024 * 1024;
constexpr qint64 LargePixelCount = 40LL * 1000 * 1000;

QMutex &largeDecodeGate()
{
    static QMutex gate;
    return gate;
}

bool decodesLarge(const QString &path)
{
    // Only a regular file is looked into: opening a pipe would wait for a
    // writer. The maker itself refuses anything else.
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (info.size() > LargeFileBytes)
        return true;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || reader.format() == "jpeg")
        return false;   // JPEGs decode at a reduced scale
    return qint64(size.width()) * size.height() > LargePixelCount;
}

Thumbnail makeThumbnail(const QString &path, qreal pixelRatio)
{
    if (!decodesLarge(path))
        return ThumbnailMaker::make(path, pixelRatio);
    QMutexLocker lock(&largeDecodeGate());
    return ThumbnailMaker::make(path, pixelRatio);
}

}

struct ThumbnailPrefetcher::Batch {
    enum class Slot { Waiting, Ready, Taken };

    Batch(const QStringList &list, qreal ratio)
        : paths(list), pixelRatio(ratio), states(list.size(), Slot::Waiting), results(list.size())
    {
        for (int i = 0; i < paths.size(); ++i)
            positions.insert(paths[i], i);
    }

    const QStringList paths;
    const qreal pixelRatio;
    QHash<QString, int> positions;
    std::atomic<bool> cancelled{false};
    int submitted = 0;                 // touched by the owning thread only

    QMutex mutex;
    QWaitCondition ready;
    QVector<Slot> states;
    QVector<Thumbnail> results;
};

ThumbnailPrefetcher::ThumbnailPrefetcher(int lookAhead)
{
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    m_lookAhead = lookAhead > 0 ? lookAhead : 4 * m_pool.maxThreadCount();
}

ThumbnailPrefetcher::~ThumbnailPrefetcher()
{
    cancel();
    m_pool.clear();
    m_pool.waitForDone();
}

void ThumbnailPrefetcher::start(const QStringList &paths, qreal pixelRatio)
{
    cancel();
    m_batch = std::make_shared<Batch>(paths, pixelRatio);
    submitThrough(*m_batch, m_lookAhead - 1);
}

void ThumbnailPrefetcher::cancel()
{
    if (!m_batch)
        return;
    m_batch->cancelled = true;
    m_pool.clear();     // queued work of the dropped list never starts
    m_batch.reset();
}

std::optional<Thumbnail> ThumbnailPrefetcher::take(const QString &path)
{
    if (!m_batch)
        return std::nullopt;
    std::shared_ptr<Batch> batch = m_batch;
    const int position = batch->positions.value(path, -1);
    if (position < 0)
        return std::nullopt;
    submitThrough(*batch, position + m_lookAhead);

    QMutexLocker lock(&batch->mutex);
    if (batch->states[position] == Batch::Slot::Taken)
        return std::nullopt;
    while (batch->states[position] == Batch::Slot::Waiting)
        batch->ready.wait(&batch->mutex);
    // The listing asks in list order: files before this one were passed
    // over (they vanished meanwhile), and what is made for them is dropped.
    for (int i = 0; i < position; ++i) {
        batch->states[i] = Batch::Slot::Taken;
        batch->results[i] = Thumbnail();
    }
    batch->states[position] = Batch::Slot::Taken;
    return std::exchange(batch->results[position], Thumbnail());
}

void ThumbnailPrefetcher::submitThrough(Batch &batch, int last)
{
    last = qMin(last, int(batch.paths.size()) - 1);
    std::shared_ptr<Batch> shared = m_batch;
    for (; batch.submitted <= last; ++batch.submitted) {
        const int position = batch.submitted;
        m_pool.start([shared, position] {
            if (shared->cancelled)
                return;
            Thumbnail made = makeThumbnail(shared->paths[position], shared->pixelRatio);
            QMutexLocker lock(&shared->mutex);
            if (shared->states[position] == Batch::Slot::Taken)
                return;
            shared->results[position] = std::move(made);
            shared->states[position] = Batch::Slot::Ready;
            shared->ready.wakeAll();
        });
    }
}
