#pragma once
// Export.SaveFile: the page's pixels in one of the ten format codes,
// written through a temporary file in the same folder.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ImageEncoder {
// The encoded file content. Throws ImgXError (also for an unknown code).
QByteArray encode(const QImage &image, int formatCode);
// Encodes and replaces path only once everything is written. Throws
// ImgXError; path is untouched on failure.
void save(const QImage &image, const QString &path, int formatCode, bool overwrite);
}
