#pragma once
// WMF and EMF output through libUEMF: a metafile holding the image as one
// device-independent bitmap record.

#include <QByteArray>
#include <QImage>

namespace MetafileWriter {
// Throw ImgXError.
QByteArray wmf(const QImage &image);
QByteArray emf(const QImage &image);
}
