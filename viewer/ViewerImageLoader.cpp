#include "ViewerImageLoader.h"

#include "ImagePrefetcher.h"
#include "ImgX.h"
#include "ScreenMetrics.h"

#include <QFileInfo>
#include <QImageReader>
#include <cmath>

ViewerImageLoader::ViewerImageLoader(ImgX *imgX, QObject *parent)
    : QObject(parent), m_imgX(imgX), m_prefetcher(new ImagePrefetcher(ImagePrefetcher::kDefaultMemoryCap, this))
{
    connect(m_prefetcher, &ImagePrefetcher::decodeReady, this, &ViewerImageLoader::decodeReady);
}

qint64 ViewerImageLoader::shownKey() const
{
    const ImgXPage *page = m_imgX->document().current();
    return page ? page->image.cacheKey() : 0;
}

bool ViewerImageLoader::showsAsLoaded(const QString &path) const
{
    return !m_path.isEmpty() && path == m_path && shownKey() == m_key && FileStamp::of(path) == m_stamp;
}

bool ViewerImageLoader::showsReduced() const
{
    return m_reduced && shownKey() == m_key;
}

void ViewerImageLoader::remember(const QString &path, bool reduced)
{
    m_path = path;
    m_key = shownKey();
    m_reduced = reduced;
}

// A failure held for the unchanged file is given again at once: a file
// that took the whole time limit to fail costs it once, not at every load.
bool ViewerImageLoader::showHeld(const QString &path)
{
    QString failure;
    const std::optional<QVector<ImgXPage>> pages = m_prefetcher->decoded(path, &failure);
    if (!failure.isEmpty())
        throw ImgXError(failure);
    if (!pages)
        return false;
    m_imgX->document().setPages(*pages, 0);
    remember(path, false);
    return true;
}

void ViewerImageLoader::load(const QString &path)
{
    // Stamped before reading: a change while the decode runs counts as a change.
    m_stamp = FileStamp::of(path);
    if (m_prefetcher->isReady(path) && showHeld(path))
        return;
    if (const int thumbnailSize = reducedScaleFor(path)) {
        ImgXDocument first;
        first.Loader.LoadFromFile(path, 0, QStringLiteral("ThumbnailSize=%1").arg(thumbnailSize));
        const ImgXPage &page = first.pages().first();
        const bool reduced = page.image.size() != QSize(page.width, page.height);
        m_imgX->document().setPages(first.pages(), 0);
        remember(path, reduced);
        // The full decode of a reduced one is the caller's to start (with
        // prefetch()), once the first frame is on screen.
        if (!reduced)
            m_prefetcher->keep(path, first.pages());
        return;
    }
    if (m_prefetcher->has(path) && showHeld(path))
        return;
    try {
        m_imgX->Loader.LoadFromFile(path, 0, QString());
    } catch (const ImgXError &e) {
        m_prefetcher->keepFailure(path, m_stamp, e.text());
        throw;
    }
    remember(path, false);
    m_prefetcher->keep(path, m_imgX->document().pages());
}

int ViewerImageLoader::reducedScaleFor(const QString &path) const
{
    // Only regular files are looked into: opening a pipe would wait for a
    // writer, and the decoder refuses anything else anyway.
    if (!QFileInfo(path).isFile())
        return 0;
    QImageReader reader(path);
    if (reader.format() != "jpeg")
        return 0;
    QSize size = reader.size();
    if (!size.isValid())
        return 0;
    // The widest the window can be; a fitted image is as wide as the window.
    const double screenWidth = ScreenMetrics::screenWidthTwips() / ScreenMetrics::twipsPerPixelX();
    if (size.width() <= screenWidth)
        return 0;
    // At least half as many pixels as it is shown with: a first frame a
    // little soft for the moment the full decode takes.
    const double shownShortSide = qMin(size.width(), size.height()) * screenWidth / size.width();
    return int(std::ceil(shownShortSide / 4));
}

void ViewerImageLoader::decodeReady(const QString &path)
{
    if (path == m_path && showsReduced())
        ensureFull();
}

void ViewerImageLoader::ensureFull()
{
    if (!showsReduced())
        return;
    const QString path = m_path;
    m_prefetcher->add(path);
    if (const std::optional<QVector<ImgXPage>> pages = m_prefetcher->decoded(path)) {
        const int page = m_imgX->document().currentPage();
        m_imgX->document().setPages(*pages, page);
        remember(path, false);
        return;
    }
    m_imgX->Pages.Clear(QString());
    m_path.clear();
    m_reduced = false;
}

void ViewerImageLoader::prefetch(const QString &shown, const QStringList &neighbours)
{
    QStringList wanted;
    if (!shown.isEmpty())
        wanted << shown;
    wanted += neighbours;
    m_prefetcher->prefetch(wanted);
}

void ViewerImageLoader::forgetAll()
{
    m_prefetcher->prefetch({});
    m_path.clear();
    m_reduced = false;
}
