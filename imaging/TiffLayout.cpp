#include "TiffLayout.h"

#include <QSet>
#include <QtEndian>

namespace {

constexpr quint16 kBitsPerSample = 258;
constexpr quint16 kPhotometric = 262;
constexpr quint16 kPalette = 3;
constexpr quint16 kSamplesPerPixel = 277;
constexpr quint16 kPlanarConfiguration = 284;
constexpr quint16 kSampleFormat = 339;
constexpr quint16 kSeparatePlanes = 2;
constexpr quint16 kUnsignedSamples = 1;
constexpr quint16 kSignedSamples = 2;
constexpr quint16 kFloatSamples = 3;

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

// Calls visit(offset) for each directory in the chain until it returns
// false or the chain ends, breaks or loops back.
template <typename Visit>
void walkDirectories(const Reader &r, Visit &&visit)
{
    QSet<qint64> seen;
    qint64 ifd = r.u32(4);
    while (ifd != 0 && r.has(ifd, 2) && !seen.contains(ifd)) {
        seen.insert(ifd);
        if (!visit(ifd))
            return;
        const qint64 next = ifd + 2 + qint64(r.u16(ifd)) * 12;
        if (!r.has(next, 4))
            return;
        ifd = r.u32(next);
    }
}

}

namespace TiffLayout {

int pageCount(const QByteArray &data)
{
    if (!isClassic(data))
        return 0;
    int count = 0;
    walkDirectories(Reader(data), [&count](qint64) {
        ++count;
        return true;
    });
    return count;
}

bool misreadByQt(const QByteArray &data, int page)
{
    // Classic TIFF only; BigTIFF and anything odd are left to Qt.
    if (!isClassic(data))
        return false;
    const Reader r(data);
    qint64 ifd = -1;
    int index = 0;
    walkDirectories(r, [&](qint64 at) {
        if (index++ < page)
            return true;
        ifd = at;
        return false;
    });
    if (ifd < 0)
        return false;
    quint16 photometric = 0, samples = 1, planar = 1, bits = 1, sampleFormat = kUnsignedSamples;
    const int entries = r.u16(ifd);
    for (int i = 0; i < entries && r.has(ifd + 2 + qint64(i) * 12, 12); ++i) {
        const qint64 entry = ifd + 2 + qint64(i) * 12;
        const quint16 tag = r.u16(entry);
        // One SHORT a sample: in the entry itself for up to two, elsewhere
        // in the file for more. The first sample's value serves.
        const qint64 at = r.u32(entry + 4) <= 2 ? entry + 8 : r.u32(entry + 8);
        const quint16 first = r.has(at, 2) ? r.u16(at) : 0;
        if (tag == kPhotometric)
            photometric = r.u16(entry + 8);
        else if (tag == kSamplesPerPixel)
            samples = r.u16(entry + 8);
        else if (tag == kPlanarConfiguration)
            planar = r.u16(entry + 8);
        else if (tag == kBitsPerSample)
            bits = first;
        else if (tag == kSampleFormat)
            sampleFormat = first;
    }
    return sampleFormat == kSignedSamples || sampleFormat == kFloatSamples || (photometric == kPalette && samples > 1)
        || (bits > 8 && planar == kSeparatePlanes && samples > 1);
}

}
