#pragma once
// Decodes of the files the viewer shows and is likely to show next, made on
// worker threads so that stepping to them costs no decode on the
// user-interface thread. A decode is used only while its file is unchanged
// on disk (see FileStamp). The decoded pixels held at once, with the files
// kept for pages not yet decoded, stay within a memory cap: beyond it the
// last-wanted decodes go.

#include "FileStamp.h"
#include "ImgXDocument.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVector>
#include <atomic>
#include <future>
#include <memory>
#include <optional>

class ImagePrefetcher : public QObject {
    Q_OBJECT
public:
    explicit ImagePrefetcher(qint64 memoryCap = kDefaultMemoryCap, QObject *parent = nullptr);
    ~ImagePrefetcher() override;

    // 512 MB: five 24-megapixel photos.
    static constexpr qint64 kDefaultMemoryCap = qint64(512) * 1024 * 1024;

    // Whether a decode of the file is held or under way.
    bool has(const QString &path) const;
    // Whether that decode has ended.
    bool isReady(const QString &path) const;
    // The pages of the unchanged file, waiting for a decode under way;
    // nothing when there is no decode of it or the decode failed. A failure
    // is held like a success, so a file that cannot be decoded (one stopped
    // after the time limit, say) is not decoded again: `failure`, when
    // given, receives why, where the decoder said.
    std::optional<QVector<ImgXPage>> decoded(const QString &path, QString *failure = nullptr);
    // Starts a decode of the file, first in preference, unless one is held.
    void add(const QString &path);
    // Holds a decode made elsewhere.
    void keep(const QString &path, const QVector<ImgXPage> &pages);
    // Holds a decode made elsewhere that failed; `stamp` is the file as it
    // was before it was read.
    void keepFailure(const QString &path, const FileStamp &stamp, const QString &failure);
    // Holds the decodes of these files, in order of preference, starting
    // those not yet under way; lets the decodes of every other file go.
    void prefetch(const QStringList &paths);

    qint64 bytesHeld() const;
    qint64 peakBytesHeld() const;
    qint64 memoryCap() const { return m_memoryCap; }

Q_SIGNALS:
    // A decode started by prefetch() has ended (on the user-interface thread).
    void decodeReady(const QString &path);

private:
    struct Decode {
        QVector<ImgXPage> pages;
        bool ok = false;
        QString failure;   // why not, when the decoder said
    };
    struct Entry {
        QString path;
        FileStamp stamp;
        std::shared_future<std::shared_ptr<Decode>> result;
        std::shared_ptr<std::atomic<bool>> dropped;   // a queued decode then never starts
    };

    static std::shared_ptr<Decode> decode(const QString &path);
    static qint64 bytesOf(const Decode &decode);
    static qint64 estimatedBytes(const QString &path);
    static qint64 bytesOrEstimate(const Entry &entry);
    static bool ready(const Entry &entry);
    static bool unchanged(const Entry &entry);
    static Entry entryFor(const QString &path);
    static Entry entryOf(const QString &path, const std::shared_ptr<Decode> &decode);
    const Entry *find(const QString &path) const;
    void hold(const Entry &entry);
    Entry start(const QString &path);
    void enforceCap();

    qint64 m_memoryCap;
    mutable qint64 m_peakBytes = 0;
    QVector<Entry> m_entries;   // in order of preference
    QThreadPool m_pool;
};
