#pragma once
// Decoding through Qt's image readers: JPEG, PNG, GIF, BMP/DIB, ICO, CUR,
// TIFF and WBMP.

#include "ImgXDocument.h"
#include "LoadOptions.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <memory>

// The pages of one file, decoded one at a time in any order. Animation
// frames only come in order: a frame before the last one read starts the
// reader again. Not for use by several threads at once.
class QtPageReader {
public:
    // Throws ImgXError when Qt cannot read the data as that ImgXFormat.
    QtPageReader(const QByteArray &data, int format);
    int count() const { return m_count; }
    // Page `index` with image, size and page index filled in. Throws
    // ImgXError with the reader's own text.
    ImgXPage read(int index, const LoadOptions &options);

private:
    void open();
    // Page `index` of a TIFF read through libtiff itself.
    ImgXPage tiffPage(int index) const;

    QByteArray m_data;
    int m_format;
    QString m_what;
    bool m_convertProfile = true;
    int m_count = 1;
    int m_next = 0;   // the frame an animation's reader gives next
    QBuffer m_buffer;
    std::unique_ptr<QImageReader> m_reader;
};

namespace QtDecoder {
// The reduced size a JPEG of the given size is decoded at for a
// thumbnail of `thumbnailSize` (the size itself when no reduction fits).
QSize reducedJpegSize(const QSize &full, int thumbnailSize);
}
