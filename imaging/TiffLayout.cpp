#include "TiffLayout.h"

#include <QSet>
#include <QtEndian>

namespace {

constexpr quint16 kBitsPerSample = 258;
constexpr quint16 kPhotometric = 262;
constexpr quint16 kSamplesPerPixel = 277;
constexpr quint16 kPlanarConfiguration = 284;
constexpr quint16 kSeparated = 5;        // CMYK
constexpr quint16 kSeparatePlanes = 2;

class Reader {
public:
    explicit Reader(const QByteArray &data) : m_data(data), m_little(data.startsWith("II")) {}

    bool has(qint64 at, qint64 bytes) const { return at >= 0 && at + bytes <= m_data.size(); }
    quint16 u16(qint64 at) const
    {
        const uchar *p = reinterpret_cast<const uchar *>(m_data.constData() + at);
        return m_little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    }
    quint32 u32(qint64 at) const
    {
        const uchar *p = reinterpret_cast<const uchar *>(m_data.constData() + at);
        return m_little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    }

private:
    const QByteArray &m_data;
    bool m_little;
};

bool isClassic(const QByteArray &data)
{
    return data.size() >= 8 && (data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4)));
}

}

namespace TiffLayout {

int pageCount(const QByteArray &data)
{
    if (!isClassic(data))
        return 0;
    const Reader r(data);
    QSet<qint64> seen;
    qint64 ifd = r.u32(4);
    while (ifd != 0 && r.has(ifd, 2) && !seen.contains(ifd)) {
        seen.insert(ifd);
        const qint64 next = ifd + 2 + qint64(r.u16(ifd)) * 12;
        if (!r.has(next, 4))
            break;
        ifd = r.u32(next);
    }
    return int(seen.size());
}

QString unreadable(const QByteArray &data)
{
    // Classic TIFF only; BigTIFF and anything odd are left to Qt.
    if (!isClassic(data))
        return QString();
    const Reader r(data);
    const qint64 ifd = r.u32(4);
    if (!r.has(ifd, 2))
        return QString();
    const int entries = r.u16(ifd);
    quint16 photometric = 0, samples = 1, planar = 1, bits = 1;
    for (int i = 0; i < entries && r.has(ifd + 2 + qint64(i) * 12, 12); ++i) {
        const qint64 entry = ifd + 2 + qint64(i) * 12;
        const quint16 tag = r.u16(entry);
        if (tag == kPhotometric)
            photometric = r.u16(entry + 8);
        else if (tag == kSamplesPerPixel)
            samples = r.u16(entry + 8);
        else if (tag == kPlanarConfiguration)
            planar = r.u16(entry + 8);
        else if (tag == kBitsPerSample) {
            // One SHORT a sample: in the entry itself for up to two,
            // elsewhere in the file for more. The first sample's size serves.
            const quint32 count = r.u32(entry + 4);
            const qint64 at = count <= 2 ? entry + 8 : r.u32(entry + 8);
            if (r.has(at, 2))
                bits = r.u16(at);
        }
    }
    if (bits <= 8)
        return QString();
    if (photometric == kSeparated)
        return QStringLiteral("Cannot read the TIFF image: it holds %1-bit CMYK colour, which this program "
                              "cannot show (8-bit CMYK it can).").arg(bits);
    if (planar == kSeparatePlanes && samples > 1)
        return QStringLiteral("Cannot read the TIFF image: it stores its %1-bit colour channels as separate "
                              "planes, which this program cannot show (8-bit ones it can).").arg(bits);
    return QString();
}

}
