#include "PackedPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

PackedPicture PackedPicture::pack(const QImage &image)
{
    PackedPicture packed;
    if (image.isNull())
        return packed;
    QBuffer buffer(&packed.m_data);
    buffer.open(QIODevice::WriteOnly);
    const bool lossless = image.hasAlphaChannel();
    QImageWriter writer(&buffer, lossless ? "png" : "jpg");
    if (!lossless)
        writer.setQuality(92);
    if (!writer.write(image)) {
        packed.m_data.clear();
        return packed;
    }
    packed.m_size = image.size();
    packed.m_pixelRatio = image.devicePixelRatio();
    return packed;
}

QImage PackedPicture::unpack() const
{
    if (m_data.isEmpty())
        return QImage();
    QImage image;
    image.loadFromData(m_data);
    image.setDevicePixelRatio(m_pixelRatio);
    return image;
}
