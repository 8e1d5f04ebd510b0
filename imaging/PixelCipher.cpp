#include "PixelCipher.h"

#include "ImagingLimits.h"
#include "ImgXDocument.h"

#include <QtEndian>
#include <sodium.h>

#include <array>
#include <cstring>
#include <mutex>

namespace {

// How the pixels are read into bytes before sealing: byte orders fixed
// for every machine (16-bit channels little-endian).
struct Layout {
    QImage::Format plain;    // the format the bytes are read from and written to
    QImage::Format result;   // what Decrypt gives back
    int bytesPerPixel;
    bool wideChannels;
};

enum Kind : quint8 { Rgb8, Rgba8, Rgb16, Rgba16, KindCount };

const Layout kLayouts[KindCount] = {
    {QImage::Format_RGB888, QImage::Format_RGB32, 3, false},
    {QImage::Format_RGBA8888, QImage::Format_ARGB32, 4, false},
    {QImage::Format_RGBX64, QImage::Format_RGBX64, 8, true},
    {QImage::Format_RGBA64, QImage::Format_RGBA64, 8, true},
};

// The trailer at the end of the sealed bytes. The first kHeaderBytes
// (magic, version, kind, height) are authenticated with the pixels; salt
// and nonce are bound through the key and the keystream.
constexpr char kMagic[4] = {'Q', 'm', 'r', 'C'};
constexpr quint8 kVersion = 1;
constexpr int kHeaderBytes = 10;
constexpr int kSaltAt = kHeaderBytes;
constexpr int kNonceAt = kSaltAt + crypto_pwhash_SALTBYTES;
constexpr int kTagAt = kNonceAt + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr int kTrailerBytes = kTagAt + crypto_aead_xchacha20poly1305_ietf_ABYTES;

using Key = std::array<unsigned char, crypto_aead_xchacha20poly1305_ietf_KEYBYTES>;

void initSodium()
{
    static std::once_flag once;
    static int result = 0;
    std::call_once(once, [] { result = sodium_init(); });
    if (result < 0)
        throw ImgXError(QStringLiteral("The cipher library could not start."));
}

// Argon2id at libsodium's interactive cost: a fraction of a second and
// 64 MiB. Fixed for version 1 of the trailer, so a sealed file never asks
// for more than that.
Key deriveKey(const QString &text, const unsigned char *salt)
{
    Key key{};
    const QByteArray utf8 = text.toUtf8();
    if (crypto_pwhash(key.data(), key.size(), utf8.constData(), quint64(utf8.size()), salt,
                      crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                      crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        throw ImgXError(QStringLiteral("Not enough memory to derive the key."));
    return key;
}

Kind kindOf(const QImage &image)
{
    const QPixelFormat format = image.pixelFormat();
    const bool wide = format.bitsPerPixel() > 32 || format.redSize() > 8 || format.alphaSize() > 8
        || image.format() == QImage::Format_Grayscale16;
    if (wide)
        return image.hasAlphaChannel() ? Rgba16 : Rgb16;
    return image.hasAlphaChannel() ? Rgba8 : Rgb8;
}

// The rows of the sealed picture: the bytes laid over red, green and blue,
// three to a pixel, with nothing of the source's colour space or text.
QImage carrierOf(const QByteArray &bytes, int width)
{
    const qint64 rowBytes = qint64(width) * 3;
    const qint64 rows = bytes.size() / rowBytes;
    QImage carrier(width, int(qMin<qint64>(rows, INT_MAX)), QImage::Format_RGB888);
    if (carrier.isNull() || carrier.height() != rows)
        throw ImgXError(QStringLiteral("The image is too large to encrypt."));
    for (int y = 0; y < carrier.height(); ++y)
        std::memcpy(carrier.scanLine(y), bytes.constData() + y * rowBytes, size_t(rowBytes));
    return carrier.convertToFormat(QImage::Format_RGB32);
}

QByteArray bytesOf(const QImage &image, qint64 rowBytes, qint64 totalBytes)
{
    QByteArray bytes(totalBytes, '\0');
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bytes.data() + y * rowBytes, image.constScanLine(y), size_t(rowBytes));
    return bytes;
}

[[noreturn]] void notSealed()
{
    throw ImgXError(QStringLiteral("The image is not encrypted, or it was saved in a format that changes "
                                   "pixels (such as JPEG)."));
}

[[noreturn]] void refused()
{
    throw ImgXError(QStringLiteral("The key is wrong, or the encrypted image was changed."));
}

}

namespace PixelCipher {

QImage encrypt(const QImage &image, const QString &keyText)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to encrypt."));
    ImagingLimits::checkWorkingSize(image.width(), image.height(), QStringLiteral("Encrypt"));
    initSodium();
    const Kind kind = kindOf(image);
    const Layout &layout = kLayouts[kind];
    const QImage plain = image.convertToFormat(layout.plain);
    const qint64 width = plain.width();
    const qint64 rowBytes = width * layout.bytesPerPixel;
    const qint64 dataBytes = rowBytes * plain.height();
    const qint64 carrierRows = (dataBytes + kTrailerBytes + 3 * width - 1) / (3 * width);

    QByteArray bytes = bytesOf(plain, rowBytes, carrierRows * 3 * width);
    auto *data = reinterpret_cast<unsigned char *>(bytes.data());
    if (layout.wideChannels)
        qToLittleEndian<quint16>(data, dataBytes / 2, data);

    unsigned char *trailer = data + bytes.size() - kTrailerBytes;
    std::memcpy(trailer, kMagic, sizeof kMagic);
    trailer[4] = kVersion;
    trailer[5] = kind;
    qToBigEndian<quint32>(quint32(plain.height()), trailer + 6);
    randombytes_buf(trailer + kSaltAt, crypto_pwhash_SALTBYTES);
    randombytes_buf(trailer + kNonceAt, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);

    Key key = deriveKey(keyText, trailer + kSaltAt);
    crypto_aead_xchacha20poly1305_ietf_encrypt_detached(data, trailer + kTagAt, nullptr, data, quint64(dataBytes),
                                                        trailer, kHeaderBytes, nullptr, trailer + kNonceAt,
                                                        key.data());
    sodium_memzero(key.data(), key.size());
    return carrierOf(bytes, int(width));
}

QImage decrypt(const QImage &sealed, const QString &keyText)
{
    if (sealed.isNull())
        throw ImgXError(QStringLiteral("There is no image to decrypt."));
    initSodium();
    const QImage carrier = sealed.convertToFormat(QImage::Format_RGB888);
    const qint64 width = carrier.width();
    const qint64 total = 3 * width * carrier.height();
    if (total < kTrailerBytes)
        notSealed();
    QByteArray bytes = bytesOf(carrier, 3 * width, total);
    auto *data = reinterpret_cast<unsigned char *>(bytes.data());
    const unsigned char *trailer = data + total - kTrailerBytes;
    if (std::memcmp(trailer, kMagic, sizeof kMagic) != 0 || trailer[4] != kVersion || trailer[5] >= KindCount)
        notSealed();

    // The layout must account for every byte: the pixels, zeros up to the
    // trailer and the trailer, in as many rows as that takes.
    const Layout &layout = kLayouts[trailer[5]];
    const qint64 height = qFromBigEndian<quint32>(trailer + 6);
    const qint64 rowBytes = width * layout.bytesPerPixel;
    const qint64 dataBytes = rowBytes * height;
    if (height == 0 || height > INT_MAX || (dataBytes + kTrailerBytes + 3 * width - 1) / (3 * width) != carrier.height())
        notSealed();
    for (qint64 i = dataBytes; i < total - kTrailerBytes; ++i) {
        if (data[i] != 0)
            refused();
    }

    Key key = deriveKey(keyText, trailer + kSaltAt);
    const int opened = crypto_aead_xchacha20poly1305_ietf_decrypt_detached(
        data, nullptr, data, quint64(dataBytes), trailer + kTagAt, trailer, kHeaderBytes, trailer + kNonceAt,
        key.data());
    sodium_memzero(key.data(), key.size());
    if (opened != 0)
        refused();
    if (layout.wideChannels)
        qFromLittleEndian<quint16>(data, dataBytes / 2, data);

    QImage plain(int(width), int(height), layout.plain);
    if (plain.isNull())
        throw ImgXError(QStringLiteral("The image is too large to decrypt."));
    for (int y = 0; y < plain.height(); ++y)
        std::memcpy(plain.scanLine(y), data + y * rowBytes, size_t(rowBytes));
    return plain.convertToFormat(layout.result);
}

}
