#pragma once
// Puts image files into the viewer's image control quickly. A file decoded
// ahead is shown at once. A large JPEG that would be shown smaller than it
// is gets a first frame from a reduced-scale decode; the full decode, once
// prefetch() has started it on a worker, takes its place when it ends.
// Anything that works on the pixels asks for the full decode first
// (ensureFull).

#include "FileStamp.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ImagePrefetcher;
class ImgX;

class ViewerImageLoader : public QObject {
    Q_OBJECT
public:
    explicit ViewerImageLoader(ImgX *imgX, QObject *parent = nullptr);

    // Shows the file; throws ImgXError (and leaves the control as it was)
    // when it cannot be decoded.
    void load(const QString &path);
    // Whether the control holds the file exactly as load() put it there
    // (not turned, enciphered or replaced since) and the file is as it was
    // when it was read.
    bool showsAsLoaded(const QString &path) const;
    // Replaces a reduced first frame by the full decode, waiting for it.
    // When the full decode fails, the control is cleared: a reduced image
    // is never worked on as if it were the file.
    void ensureFull();
    // Keeps the decodes of the file on show and of these neighbours.
    void prefetch(const QString &shown, const QStringList &neighbours);
    void forgetAll();

    ImagePrefetcher *prefetcher() const { return m_prefetcher; }
    bool showsReduced() const;

private:
    void decodeReady(const QString &path);
    // The thumbnail size for a first frame of at least half the pixels it
    // is shown with, or 0 when only the full decode will do.
    int reducedScaleFor(const QString &path) const;
    // Shows the held decode of the unchanged file, or throws ImgXError with
    // the failure held for it; false when neither is held.
    bool showHeld(const QString &path);
    void remember(const QString &path, bool reduced);
    qint64 shownKey() const;

    ImgX *m_imgX;
    ImagePrefetcher *m_prefetcher;
    QString m_path;          // the file load() last put into the control
    qint64 m_key = 0;        // and the pixels it put there
    FileStamp m_stamp;       // the file as it was when read
    bool m_reduced = false;
};
