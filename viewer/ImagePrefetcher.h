#pragma once
// Decodes the files the viewer is likely to show next on worker threads, so
// that stepping to them costs no decode on the user-interface thread. A
// decode is used only while the file is unchanged on disk (same size and
// modification time). The decoded pages held at once stay within a memory
// cap: decodes beyond it are dropped, the farthest first.

#include "ImgXDocument.h"

#include <QDateTime>
#include <QString>
#include <QThreadPool>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <future>
#include <memory>
#include <optional>

class ImagePrefetcher {
public:
    explicit ImagePrefetcher(qint64 memoryCap = kDefaultMemoryCap);
    ~ImagePrefetcher();

    // 512 MB: about five 24-megapixel photos.
    static constexpr qint64 kDefaultMemoryCap = qint64(512) * 1024 * 1024;

    // The pages of the file when a decode of it was started (waiting for it
    // to end), nothing otherwise or when the file changed since. The decode
    // is handed over: it is no longer held.
    std::optional<QVector<ImgXPage>> take(const QString &path);
    // Keeps the decodes of these files, in order of preference, starting
    // those not yet under way; drops the decodes of every other file.
    void prefetch(const QStringList &paths);

    int pending() const { return int(m_entries.size()); }
    // Bytes of decoded pixels held now, and the most held at any time.
    qint64 bytesHeld() const;
    qint64 peakBytesHeld() const;
    qint64 memoryCap() const { return m_memoryCap; }

private:
    struct Decode {
        QVector<ImgXPage> pages;
        bool ok = false;
    };
    struct Entry {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        std::shared_future<std::shared_ptr<Decode>> result;
        std::shared_ptr<std::atomic<bool>> dropped;   // a queued decode then never starts
    };

    static std::shared_ptr<Decode> decode(const QString &path);
    static qint64 bytesOf(const Decode &decode);
    static bool ready(const Entry &entry);
    bool unchanged(const Entry &entry) const;
    void enforceCap();

    qint64 m_memoryCap;
    mutable qint64 m_peakBytes = 0;
    QVector<Entry> m_entries;   // in order of preference
    QThreadPool m_pool;
};
