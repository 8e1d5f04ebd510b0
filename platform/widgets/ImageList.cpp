#include "ImageList.h"

namespace {
// Decoded pictures kept ready for drawing, in kilobytes: a few screens full.
constexpr int DrawCacheKiB = 48 * 1024;
}

ImageList::ImageList(QObject *parent) : QObject(parent), m_drawCache(DrawCacheKiB) {}

bool ImageList::Add(const QString &key, const QImage &picture)
{
    if (picture.isNull() || m_positions.contains(key))
        return false;
    return Add(key, PackedPicture::pack(picture));
}

bool ImageList::Add(const QString &key, const PackedPicture &picture)
{
    if (picture.isNull() || m_positions.contains(key))
        return false;
    if (m_entries.isEmpty())
        m_cellSize = picture.logicalSize();
    m_positions.insert(key, m_entries.size());
    m_entries.append({key, picture});
    return true;
}

void ImageList::Clear()
{
    m_entries.clear();
    m_positions.clear();
    m_drawCache.clear();
    m_cellSize = QSize();
    emit changed();
}

int ImageList::IndexOf(const QString &key) const
{
    const auto it = m_positions.constFind(key);
    return it == m_positions.constEnd() ? 0 : *it + 1;
}

QString ImageList::Key(int index) const
{
    return index >= 1 && index <= m_entries.size() ? m_entries[index - 1].key : QString();
}

QImage ImageList::Picture(int index) const
{
    return index >= 1 && index <= m_entries.size() ? m_entries[index - 1].picture.unpack() : QImage();
}

QImage ImageList::Picture(const QString &key) const
{
    return Picture(IndexOf(key));
}

QPixmap ImageList::cellPixmap(const QString &key) const
{
    if (const QPixmap *cached = m_drawCache.object(key))
        return *cached;
    QImage image = Picture(key);
    if (image.isNull())
        return QPixmap();
    const QSizeF shown = image.deviceIndependentSize();
    if (shown.width() > m_cellSize.width() || shown.height() > m_cellSize.height()) {
        const qreal ratio = image.devicePixelRatio();
        image = image.scaled(m_cellSize * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
    }
    auto *pixmap = new QPixmap(QPixmap::fromImage(image));
    const QPixmap result = *pixmap;
    m_drawCache.insert(key, pixmap, qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    return result;
}
