#pragma once
// Makes the thumbnails of a listing ahead of time on worker threads, in
// list order, a bounded number ahead of the one the listing waits for.
// The listing itself still fills its items one by one on the user
// interface thread; it only takes the finished thumbnails from here.

#include "Thumbnail.h"

#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <optional>

class ThumbnailPrefetcher {
public:
    // lookAhead: how many thumbnails may be made ahead of the one taken
    // last; 0 picks a number from the worker count.
    explicit ThumbnailPrefetcher(int lookAhead = 0);
    ~ThumbnailPrefetcher();
    ThumbnailPrefetcher(const ThumbnailPrefetcher &) = delete;
    ThumbnailPrefetcher &operator=(const ThumbnailPrefetcher &) = delete;

    // Starts on a new list of files, their thumbnails made for a screen of
    // the given device pixel ratio; an earlier list is dropped, with
    // whatever its workers still produce.
    void start(const QStringList &paths, qreal pixelRatio = 1);
    // Drops the current list.
    void cancel();
    // The thumbnail of a file of the current list, waiting for it when it
    // is not ready yet. Files are asked for in list order: asking for one
    // passes over those before it. Nothing when the file is not on the
    // list, or was taken or passed over before; the caller then makes it
    // itself.
    std::optional<Thumbnail> take(const QString &path);

private:
    struct Batch;
    void submitThrough(Batch &batch, int last);

    QThreadPool m_pool;
    std::shared_ptr<Batch> m_batch;
    int m_lookAhead;
};
