#pragma once
// The memory cap every decoder honours, so a huge or hostile image fails
// with a message instead of exhausting memory.

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace ImagingLimits {
// The most bytes one decoded image (all pages together) may take.
qint64 memoryCap();
// Throws ImgXError when width x height pixels at bytesPerPixel would pass
// the cap (or a side is not positive).
void checkDecodeSize(qint64 width, qint64 height, int bytesPerPixel = 4);
// The same for a working copy the program makes (a conversion for display
// or a transform); `what` names the work in the message.
void checkWorkingSize(qint64 width, qint64 height, const QString &what);
// A new image (its pixels not yet set) for a decoder to draw or copy
// into; throws ImgXError when there is no memory for it.
QImage newImage(const QSize &size, QImage::Format format);
// Applies the cap to Qt's image readers; safe to call from any thread.
void applyToQt();
}
