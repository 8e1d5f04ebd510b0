#pragma once
// Encrypt / Decrypt: the pixel bytes XORed with an XChaCha20 keystream
// whose key comes from the typed text. Applying it twice with the same
// key gives back the exact pixels; alpha stays as it is, so the result
// survives saving as PNG or BMP.

#include <QImage>
#include <QString>

namespace PixelCipher {
// Returns the image in ARGB32 (if it has alpha) or RGB32 with its colour
// bytes XORed. Throws ImgXError when the key cannot be derived.
QImage apply(const QImage &image, const QString &key);
}
