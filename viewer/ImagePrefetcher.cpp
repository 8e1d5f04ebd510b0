#include "ImagePrefetcher.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>

namespace {
constexpr int kWorkers = 2;
}

ImagePrefetcher::ImagePrefetcher(qint64 memoryCap)
    : m_memoryCap(memoryCap)
{
    m_pool.setMaxThreadCount(kWorkers);
}

ImagePrefetcher::~ImagePrefetcher()
{
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
    } catch (...) {
        // A damaged file: the viewer finds out again when it loads it itself.
        result->ok = false;
    }
    return result;
}

qint64 ImagePrefetcher::bytesOf(const Decode &decode)
{
    qint64 bytes = 0;
    for (const ImgXPage &page : decode.pages)
        bytes += page.image.sizeInBytes();
    return bytes;
}

bool ImagePrefetcher::ready(const Entry &entry)
{
    return entry.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool ImagePrefetcher::unchanged(const Entry &entry) const
{
    const QFileInfo info(entry.path);
    return info.exists() && info.size() == entry.size && info.lastModified() == entry.modified;
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

std::optional<QVector<ImgXPage>> ImagePrefetcher::take(const QString &path)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].path != path)
            continue;
        const Entry entry = m_entries.takeAt(i);
        const std::shared_ptr<Decode> decoded = entry.result.get();
        if (!decoded->ok || !unchanged(entry))
            return std::nullopt;
        return decoded->pages;
    }
    return std::nullopt;
}

void ImagePrefetcher::prefetch(const QStringList &paths)
{
    QVector<Entry> kept;
    for (const QString &path : paths) {
        if (path.isEmpty() || std::any_of(kept.begin(), kept.end(), [&](const Entry &e) { return e.path == path; }))
            continue;
        auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.path == path; });
        if (found != m_entries.end() && unchanged(*found)) {
            kept.append(*found);
            continue;
        }
        const QFileInfo info(path);
        if (!info.isFile())
            continue;
        Entry entry;
        entry.path = path;
        entry.size = info.size();
        entry.modified = info.lastModified();
        auto promise = std::make_shared<std::promise<std::shared_ptr<Decode>>>();
        auto dropped = std::make_shared<std::atomic<bool>>(false);
        entry.result = promise->get_future().share();
        entry.dropped = dropped;
        m_pool.start([promise, dropped, path] {
            promise->set_value(*dropped ? std::make_shared<Decode>() : decode(path));
        });
        kept.append(entry);
    }
    // A dropped decode that is still running finishes on its worker; the
    // last reference to its result lets the pages go.
    for (const Entry &entry : m_entries) {
        if (std::none_of(kept.begin(), kept.end(), [&](const Entry &e) { return e.path == entry.path; }))
            *entry.dropped = true;
    }
    m_entries = kept;
    enforceCap();
}

void ImagePrefetcher::enforceCap()
{
    qint64 bytes = bytesHeld();
    while (bytes > m_memoryCap && !m_entries.isEmpty()) {
        const Entry &last = m_entries.last();
        if (ready(last))
            bytes -= bytesOf(*last.result.get());
        *m_entries.last().dropped = true;
        m_entries.removeLast();
    }
}
