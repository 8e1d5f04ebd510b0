#pragma once
// Numbers read from a file's bytes, in the byte order its format uses. The
// caller has checked that the bytes at 'at' are there.

#include <QByteArray>
#include <QtEndian>

namespace ByteReader {
inline quint16 le16(const QByteArray &b, qint64 at) { return qFromLittleEndian<quint16>(b.constData() + at); }
inline qint16 le16s(const QByteArray &b, qint64 at) { return qFromLittleEndian<qint16>(b.constData() + at); }
inline quint32 le32(const QByteArray &b, qint64 at) { return qFromLittleEndian<quint32>(b.constData() + at); }
inline qint32 le32s(const QByteArray &b, qint64 at) { return qFromLittleEndian<qint32>(b.constData() + at); }
inline quint16 be16(const QByteArray &b, qint64 at) { return qFromBigEndian<quint16>(b.constData() + at); }
inline quint32 be32(const QByteArray &b, qint64 at) { return qFromBigEndian<quint32>(b.constData() + at); }
}
