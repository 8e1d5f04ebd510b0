#include "ImgXDocument.h"

#include "ImageDecoder.h"
#include "ImageEncoder.h"
#include "ImageTransforms.h"
#include "ImagingLog.h"
#include "LoadOptions.h"
#include "PixelCipher.h"

#include <QGuiApplication>
#include <QClipboard>
#include <QFileInfo>

namespace {

// The page on show, about to be changed: from now on its pixels are its
// own, kept when another page is shown.
ImgXPage &requireCurrent(ImgXDocument &doc, const char *what)
{
    ImgXPage *page = doc.current();
    if (!page || page->image.isNull())
        throw ImgXError(QStringLiteral("%1: no image is loaded.").arg(QLatin1String(what)));
    page->source.reset();
    return *page;
}

// The cipher adds rows to the picture or takes them away again; the
// page's description follows its pixels.
void takeSealedImage(ImgXPage &page, QImage image)
{
    page.image = std::move(image);
    page.width = page.image.width();
    page.height = page.image.height();
}

ImgXPage decoded(const ImgXPage &page)
{
    ImgXPage result = page.source->decode(page.pageIndex);
    result.source = page.source;
    return result;
}

}

// ---- ImgXDocument ---------------------------------------------------------

ImgXDocument::ImgXDocument()
    : Loader(*this), Pages(*this), ImageInfo(*this), Transform(*this), Export(*this)
{
}

const ImgXPage *ImgXDocument::current() const
{
    return m_current >= 0 && m_current < m_pages.size() ? &m_pages[m_current] : nullptr;
}

ImgXPage *ImgXDocument::current()
{
    return m_current >= 0 && m_current < m_pages.size() ? &m_pages[m_current] : nullptr;
}

void ImgXDocument::setPages(QVector<ImgXPage> pages, int current)
{
    const int index = pages.isEmpty() ? -1 : qBound(0, current, int(pages.size()) - 1);
    if (index >= 0 && pages[index].image.isNull() && pages[index].source)
        pages[index] = decoded(pages[index]);
    m_pages = std::move(pages);
    m_current = -1;
    if (index >= 0)
        show(index);
    changed();
}

// Makes a decoded page current. Only the page on show keeps pixels that
// its source can make again.
void ImgXDocument::show(int index)
{
    for (int i = 0; i < m_pages.size(); ++i) {
        const ImgXPage &page = std::as_const(m_pages)[i];   // no copy of a shared list for nothing
        if (i != index && page.source && !page.image.isNull())
            m_pages[i].image = QImage();
    }
    m_current = index;
}

void ImgXDocument::clear()
{
    m_pages.clear();
    m_current = -1;
    changed();
}

// ---- ImgXLoader -----------------------------------------------------------

void ImgXLoader::LoadFromFile(const QString &path, int page, const QString &options)
{
    if (page < 0)
        throw ImgXError(QStringLiteral("There is no page %1.").arg(page));
    QVector<ImgXPage> pages = ImageDecoder::decodeFile(path, page, LoadOptions::parse(options));
    int current = 0;
    for (int i = 0; i < pages.size(); ++i) {
        if (pages[i].pageIndex == page)
            current = i;
    }
    m_doc.setPages(std::move(pages), current);
}

void ImgXLoader::LoadFromPicture(const QImage &picture, const QString &options, const QString &sourceFile)
{
    Q_UNUSED(options);
    if (picture.isNull())
        throw ImgXError(QStringLiteral("The picture is empty."));
    ImgXPage page;
    page.image = picture;
    if (!sourceFile.isEmpty()) {
        const QFileInfo file(sourceFile);
        page.filePath = file.absoluteFilePath();
        page.fileName = file.fileName();
    }
    page.format = ImgXFormatPicture;
    page.width = picture.width();
    page.height = picture.height();
    page.bitsPerPixel = picture.depth() >= 24 ? 32 : picture.depth();
    m_doc.setPages({page}, 0);
}

// ---- ImgXPages ------------------------------------------------------------

int ImgXPages::Count() const
{
    return int(m_doc.pages().size());
}

void ImgXPages::Clear(const QString &options)
{
    Q_UNUSED(options);
    m_doc.clear();
}

std::optional<ImgXPage> ImgXPages::Item(int index) const
{
    if (index < 0 || index >= m_doc.pages().size())
        return std::nullopt;
    const ImgXPage &page = m_doc.pages()[index];
    if (!page.image.isNull() || !page.source)
        return page;
    try {
        return decoded(page);
    } catch (const ImgXError &e) {
        qCWarning(lcImaging, "Cannot decode page %d of %s: %s", index + 1, qUtf8Printable(page.filePath), e.what());
        return std::nullopt;
    }
}

void ImgXPages::SetCurrent(const ImgXPage &page)
{
    QVector<ImgXPage> pages = m_doc.pages();
    for (int i = 0; i < pages.size(); ++i) {
        if (pages[i].pageIndex == page.pageIndex) {
            // A page just decoded by Item need not be decoded again.
            if (pages[i].image.isNull() && pages[i].source && page.source == pages[i].source && !page.image.isNull())
                pages[i] = page;
            m_doc.setPages(std::move(pages), i);
            return;
        }
    }
    throw ImgXError(QStringLiteral("The image has no page %1.").arg(page.pageIndex + 1));
}

// ---- ImgXImageInfo --------------------------------------------------------

QString ImgXImageInfo::FileName() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->fileName : QString();
}

QString ImgXImageInfo::FilePath() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->filePath : QString();
}

int ImgXImageInfo::Format() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->format : 0;
}

int ImgXImageInfo::Width() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->width : 0;
}

int ImgXImageInfo::Height() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->height : 0;
}

int ImgXImageInfo::BitsPerPixel() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->bitsPerPixel : 0;
}

int ImgXImageInfo::PageIndex() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->pageIndex : 0;
}

// ---- ImgXTransform --------------------------------------------------------

void ImgXTransform::Resize(int width, int height, int method, const QString &options)
{
    Q_UNUSED(options);
    ImgXPage &page = requireCurrent(m_doc, "Resize");
    const QSize target = ImageTransforms::resizeTarget(width, height, QSize(page.width, page.height));
    page.image = ImageTransforms::resize(page.image, target, method);
    page.width = target.width();
    page.height = target.height();
    m_doc.changed();
}

void ImgXTransform::Canvas(int width, int height, const QColor &colour, int x, int y, const QString &options)
{
    Q_UNUSED(options);
    ImgXPage &page = requireCurrent(m_doc, "Canvas");
    // The page may hold a reduced-scale decode: place it as if it had its
    // described size.
    QImage image = page.image;
    if (image.size() != QSize(page.width, page.height))
        image = ImageTransforms::resize(image, QSize(page.width, page.height), 4);
    page.image = ImageTransforms::canvas(image, width, height, colour, x, y);
    page.width = width;
    page.height = height;
    m_doc.changed();
}

void ImgXTransform::Rotate(double degrees, const QColor *background, int flags, const QString &options)
{
    Q_UNUSED(flags);
    Q_UNUSED(options);
    ImgXPage &page = requireCurrent(m_doc, "Rotate");
    const QColor fill = background ? *background : QColor(Qt::white);
    const QSize before = page.image.size();
    page.image = ImageTransforms::rotate(page.image, degrees, fill);
    if (page.image.size() == before.transposed() && before != before.transposed()) {
        std::swap(page.width, page.height);
    } else if (page.image.size() != before) {
        // A free angle grows the image; scale the description with it.
        page.width = qRound(double(page.image.width()) * page.width / qMax(1, before.width()));
        page.height = qRound(double(page.image.height()) * page.height / qMax(1, before.height()));
    }
    m_doc.changed();
}

void ImgXTransform::Encrypt(const QString &key, const QString &options)
{
    Q_UNUSED(options);
    ImgXPage &page = requireCurrent(m_doc, "Encrypt");
    takeSealedImage(page, PixelCipher::encrypt(page.image, key));
    m_doc.changed();
}

void ImgXTransform::Decrypt(const QString &key, const QString &options)
{
    Q_UNUSED(options);
    ImgXPage &page = requireCurrent(m_doc, "Decrypt");
    takeSealedImage(page, PixelCipher::decrypt(page.image, key));
    m_doc.changed();
}

// ---- ImgXExport -----------------------------------------------------------

QImage ImgXExport::GetPicture() const
{
    const ImgXPage *p = m_doc.current();
    return p ? p->image : QImage();
}

void ImgXExport::SaveFile(const QString &path, int formatCode, int options, bool overwrite) const
{
    SaveFileJob(path, formatCode, options, overwrite)();
}

std::function<void()> ImgXExport::SaveFileJob(const QString &path, int formatCode, int options,
                                              bool overwrite) const
{
    Q_UNUSED(options);
    const ImgXPage *p = m_doc.current();
    if (!p || p->image.isNull())
        throw ImgXError(QStringLiteral("Cannot save %1: no image is loaded.").arg(path));
    return [image = p->image, path, formatCode, overwrite] { ImageEncoder::save(image, path, formatCode, overwrite); };
}

void ImgXExport::CopyToClipboard() const
{
    const ImgXPage *p = m_doc.current();
    if (!p || p->image.isNull())
        throw ImgXError(QStringLiteral("Cannot copy: no image is loaded."));
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw ImgXError(QStringLiteral("Cannot copy: there is no clipboard."));
    clipboard->setImage(p->image);
}

// ---- ImgXColorFactory -----------------------------------------------------

QColor ImgXColorFactory::FromRGB(quint32 rgb, int alpha)
{
    return QColor(int(rgb & 0xff), int((rgb >> 8) & 0xff), int((rgb >> 16) & 0xff), qBound(0, alpha, 255));
}
