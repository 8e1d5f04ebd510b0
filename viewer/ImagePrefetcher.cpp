#include "ImagePrefetcher.h"

#include "ViewerLog.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kWorkers = 2;
constexpr int kWorkerNiceness = 10;

// Decodes ahead give way to the user-interface thread and the window
// system, so they never hold back the frame the user is waiting for.
void yieldToTheScreen()
{
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), kWorkerNiceness);
}
}

ImagePrefetcher::ImagePrefetcher(qint64 memoryCap, QObject *parent)
    : QObject(parent), m_memoryCap(memoryCap)
{
    m_pool.setMaxThreadCount(kWorkers);
}

ImagePrefetcher::~ImagePrefetcher()
{
    for (const Entry &entry : m_entries)
        *entry.dropped = true;
    m_pool.clear();
    m_pool.waitForDone();
}

std::shared_ptr<ImagePrefetcher::Decode> ImagePrefetcher::decode(const QString &path)
{
    auto result = std::make_shared<Decode>();
    try {
        ImgXDocument doc;
        doc.Loader.LoadFromFile(path, 0, QString());
        result->pages = doc.pages();
        result->ok = true;
    } catch (const ImgXError &e) {
        // A damaged file: the answer is held, so showing the file gives it
        // at once.
        result->failure = e.text();
        qCWarning(lcViewer) << "Decoding ahead failed on" << path << ":" << e.text();
    } catch (const std::exception &e) {
        // Too large to hold just now: the viewer tries again when it loads
        // the file itself.
        qCWarning(lcViewer) << "Decoding ahead failed on" << path << ":" << e.what();
    }
    return result;
}

// The pixels held, and the file kept by the pages of a many-page file that
// are decoded when shown (their one source counted once).
qint64 ImagePrefetcher::bytesOf(const Decode &decode)
{
    qint64 bytes = 0;
    const ImgXPageSource *counted = nullptr;
    for (const ImgXPage &page : decode.pages) {
        bytes += page.image.sizeInBytes();
        if (page.source && page.source.get() != counted) {
            counted = page.source.get();
            bytes += counted->heldBytes();
        }
    }
    return bytes;
}

bool ImagePrefetcher::ready(const Entry &entry)
{
    return entry.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool ImagePrefetcher::unchanged(const Entry &entry)
{
    return entry.stamp.exists && FileStamp::of(entry.path) == entry.stamp;
}

ImagePrefetcher::Entry ImagePrefetcher::entryFor(const QString &path)
{
    Entry entry;
    entry.path = path;
    entry.stamp = FileStamp::of(path);
    entry.dropped = std::make_shared<std::atomic<bool>>(false);
    return entry;
}

const ImagePrefetcher::Entry *ImagePrefetcher::find(const QString &path) const
{
    for (const Entry &entry : m_entries) {
        if (entry.path == path)
            return &entry;
    }
    return nullptr;
}

bool ImagePrefetcher::has(const QString &path) const
{
    const Entry *entry = find(path);
    return entry && unchanged(*entry);
}

bool ImagePrefetcher::isReady(const QString &path) const
{
    const Entry *entry = find(path);
    return entry && ready(*entry);
}

std::optional<QVector<ImgXPage>> ImagePrefetcher::decoded(const QString &path, QString *failure)
{
    const Entry *entry = find(path);
    if (!entry || !unchanged(*entry))
        return std::nullopt;
    const std::shared_ptr<Decode> result = entry->result.get();
    bytesHeld();
    if (!result->ok) {
        if (failure)
            *failure = result->failure;
        return std::nullopt;
    }
    return result->pages;
}

ImagePrefetcher::Entry ImagePrefetcher::entryOf(const QString &path, const std::shared_ptr<Decode> &decode)
{
    Entry entry = entryFor(path);
    std::promise<std::shared_ptr<Decode>> promise;
    promise.set_value(decode);
    entry.result = promise.get_future().share();
    return entry;
}

void ImagePrefetcher::hold(const Entry &entry)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry &e) { return e.path == entry.path; }),
                    m_entries.end());
    m_entries.prepend(entry);
    enforceCap();
}

void ImagePrefetcher::keep(const QString &path, const QVector<ImgXPage> &pages)
{
    auto decode = std::make_shared<Decode>();
    decode->pages = pages;
    decode->ok = true;
    hold(entryOf(path, decode));
}

void ImagePrefetcher::keepFailure(const QString &path, const FileStamp &stamp, const QString &failure)
{
    auto decode = std::make_shared<Decode>();
    decode->failure = failure;
    Entry entry = entryOf(path, decode);
    entry.stamp = stamp;
    hold(entry);
}

void ImagePrefetcher::add(const QString &path)
{
    if (has(path) || !QFileInfo(path).isFile())
        return;
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.path == path; }),
                    m_entries.end());
    m_entries.prepend(start(path));
    enforceCap();
}

ImagePrefetcher::Entry ImagePrefetcher::start(const QString &path)
{
    Entry entry = entryFor(path);
    auto promise = std::make_shared<std::promise<std::shared_ptr<Decode>>>();
    entry.result = promise->get_future().share();
    const std::shared_ptr<std::atomic<bool>> dropped = entry.dropped;
    m_pool.start([this, promise, dropped, path] {
        if (*dropped) {
            promise->set_value(std::make_shared<Decode>());
            return;
        }
        yieldToTheScreen();
        promise->set_value(decode(path));
        // Bound to this object: a prefetcher gone by then drops the call.
        // The decode may hold more than its header promised (a file of
        // many pages keeps the file): the cap is applied again.
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                enforceCap();
                Q_EMIT decodeReady(path);
            },
            Qt::QueuedConnection);
    });
    return entry;
}

// What a decode of the file will hold, as far as its header tells. Only a
// regular file is looked into: opening a pipe would wait for a writer.
qint64 ImagePrefetcher::estimatedBytes(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return 0;
    const QSize size = QImageReader(path).size();
    return size.isValid() ? qint64(size.width()) * size.height() * 4 : 0;
}

qint64 ImagePrefetcher::bytesOrEstimate(const Entry &entry)
{
    return ready(entry) ? bytesOf(*entry.result.get()) : estimatedBytes(entry.path);
}

void ImagePrefetcher::prefetch(const QStringList &paths)
{
    QVector<Entry> kept;
    qint64 bytes = 0;
    const auto inKept = [&](const QString &path) {
        return std::any_of(kept.begin(), kept.end(), [&](const Entry &e) { return e.path == path; });
    };
    for (const QString &path : paths) {
        if (path.isEmpty() || inKept(path))
            continue;
        const Entry *held = find(path);
        if (held && unchanged(*held)) {
            kept.append(*held);
            bytes += bytesOrEstimate(*held);
            continue;
        }
        if (!QFileInfo(path).isFile())
            continue;
        // A decode that would pass the cap is not started at all.
        const qint64 estimate = estimatedBytes(path);
        if (!kept.isEmpty() && bytes + estimate > m_memoryCap)
            continue;
        kept.append(start(path));
        bytes += estimate;
    }
    // A decode let go while it runs ends on its worker; the last reference
    // to its result frees the pages.
    for (const Entry &entry : m_entries) {
        if (!inKept(entry.path) || !unchanged(entry))
            *entry.dropped = true;
    }
    m_entries = kept;
    enforceCap();
}

qint64 ImagePrefetcher::bytesHeld() const
{
    qint64 bytes = 0;
    for (const Entry &entry : m_entries) {
        if (ready(entry))
            bytes += bytesOf(*entry.result.get());
    }
    m_peakBytes = qMax(m_peakBytes, bytes);
    return bytes;
}

qint64 ImagePrefetcher::peakBytesHeld() const
{
    bytesHeld();
    return m_peakBytes;
}

void ImagePrefetcher::enforceCap()
{
    qint64 bytes = bytesHeld();
    while (bytes > m_memoryCap && m_entries.size() > 1) {
        const Entry &last = m_entries.last();
        if (ready(last))
            bytes -= bytesOf(*last.result.get());
        *last.dropped = true;
        m_entries.removeLast();
    }
}
