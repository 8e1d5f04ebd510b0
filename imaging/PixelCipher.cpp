#include "PixelCipher.h"

#include "ImagingLimits.h"
#include "ImgXDocument.h"

#include <sodium.h>

#include <array>
#include <mutex>
#include <vector>

namespace {

// Fixed for this application: the same text must give the same key on
// every machine, or an encrypted picture could never be opened again.
const unsigned char kSalt[crypto_pwhash_SALTBYTES] = {0x51, 0x75, 0x69, 0x6c, 0x6c, 0x6d, 0x65, 0x72,
                                                      0x65, 0x2d, 0x70, 0x69, 0x78, 0x65, 0x6c, 0x73};

void initSodium()
{
    static std::once_flag once;
    static int result = 0;
    std::call_once(once, [] { result = sodium_init(); });
    if (result < 0)
        throw ImgXError(QStringLiteral("The cipher library could not start."));
}

std::array<unsigned char, crypto_stream_xchacha20_KEYBYTES> deriveKey(const QString &text)
{
    std::array<unsigned char, crypto_stream_xchacha20_KEYBYTES> key{};
    const QByteArray utf8 = text.toUtf8();
    if (crypto_pwhash(key.data(), key.size(), utf8.constData(), quint64(utf8.size()), kSalt,
                      crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                      crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        throw ImgXError(QStringLiteral("Not enough memory to derive the key."));
    return key;
}

std::array<unsigned char, crypto_stream_xchacha20_NONCEBYTES> fixedNonce()
{
    std::array<unsigned char, crypto_stream_xchacha20_NONCEBYTES> nonce{};
    static const char context[] = "Quillmere pixel nonce";
    crypto_generichash(nonce.data(), nonce.size(), kSalt, sizeof kSalt,
                       reinterpret_cast<const unsigned char *>(context), sizeof context - 1);
    return nonce;
}

}

namespace PixelCipher {

QImage apply(const QImage &image, const QString &keyText)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to encrypt."));
    ImagingLimits::checkWorkingSize(image.width(), image.height(), QStringLiteral("Encrypt"));
    initSodium();
    auto key = deriveKey(keyText);
    const auto nonce = fixedNonce();

    QImage out = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const qint64 width = out.width();
    const qint64 pixels = width * out.height();
    // The keystream is laid over the pixels in reading order (4 bytes a
    // pixel) and made a chunk at a time; 64-byte blocks keep the counter
    // arithmetic exact.
    const qint64 chunkPixels = 16384;
    std::vector<unsigned char> stream(size_t(chunkPixels * 4));
    for (qint64 start = 0; start < pixels; start += chunkPixels) {
        const qint64 n = qMin(chunkPixels, pixels - start);
        std::fill(stream.begin(), stream.end(), 0);
        crypto_stream_xchacha20_xor_ic(stream.data(), stream.data(), quint64(n * 4), nonce.data(),
                                       quint64(start * 4 / 64), key.data());
        for (qint64 i = 0; i < n; ++i) {
            const qint64 index = start + i;
            QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(int(index / width)));
            QRgb &px = line[index % width];
            const unsigned char *k = &stream[size_t(i * 4)];
            // Red, green and blue change; the alpha byte never does.
            px ^= (quint32(k[0]) << 16) | (quint32(k[1]) << 8) | quint32(k[2]);
        }
    }
    sodium_memzero(key.data(), key.size());
    return out;
}

}
