#pragma once
// A picture kept compressed in memory: thousands of thumbnails stay small,
// and each is unpacked only when it is drawn. Packing and unpacking may run
// on any thread. The picture keeps its device pixel ratio.

#include <QByteArray>
#include <QImage>
#include <QSize>

class PackedPicture {
public:
    PackedPicture() = default;
    // Opaque pictures are stored as high-quality JPEG, pictures with
    // transparency losslessly as PNG.
    static PackedPicture pack(const QImage &image);

    bool isNull() const { return m_data.isEmpty(); }
    // In pixels of the picture.
    QSize size() const { return m_size; }
    // In logical pixels: the size it is drawn at.
    QSize logicalSize() const { return (QSizeF(m_size) / m_pixelRatio).toSize(); }
    QImage unpack() const;

private:
    QByteArray m_data;
    QSize m_size;
    qreal m_pixelRatio = 1;
};
