#pragma once
// Encrypt / Decrypt of a picture with a typed key.
//
// Encrypting seals the pixels (colour and alpha, 8 or 16 bits a channel)
// with XChaCha20-Poly1305 under a key derived from the text with Argon2id
// and a random salt; the nonce is random too, so no two encryptions share
// a keystream. The result is an opaque RGB picture as wide as the source:
// the ciphertext fills its red, green and blue bytes in reading order,
// and its last rows carry a trailer with the parameters and the
// authentication tag. It has no colour space and no text of the source.
//
// Any format that keeps 8-bit RGB exactly (PNG, TIFF, BMP, TGA, PCX, PSD)
// carries it. JPEG and WBMP change the pixels: what they keep cannot be
// decrypted, and Decrypt says so instead of showing noise.

#include <QImage>
#include <QString>

namespace PixelCipher {
// Throws ImgXError when there is no image or the key cannot be derived.
QImage encrypt(const QImage &image, const QString &key);
// The picture that encrypt sealed. Throws ImgXError when the image is
// not one encrypt made, the key is wrong or a pixel was changed.
QImage decrypt(const QImage &sealed, const QString &key);
}
