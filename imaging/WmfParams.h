#pragma once
// The parameters of one WMF record: 16-bit words after its 6-byte head.
// Reading past the record gives 0, so a short record cannot reach beyond it.

#include "ByteReader.h"

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRectF>

class WmfParams {
public:
    WmfParams(const QByteArray &data, qint64 at, qint64 words) : m_data(data), m_at(at + 6), m_words(words - 3) {}
    qint64 count() const { return m_words; }
    int s16(int i) const { return i >= 0 && i < m_words ? ByteReader::le16s(m_data, m_at + 2 * qint64(i)) : 0; }
    int u16(int i) const { return i >= 0 && i < m_words ? ByteReader::le16(m_data, m_at + 2 * qint64(i)) : 0; }
    quint32 u32(int i) const { return quint32(u16(i)) | quint32(u16(i + 1)) << 16; }
    QColor colour(int i) const
    {
        const quint32 ref = u32(i);
        return QColor(int(ref & 0xff), int((ref >> 8) & 0xff), int((ref >> 16) & 0xff));
    }
    QPoint point(int i) const { return QPoint(s16(i), s16(i + 1)); }   // x first
    // left, top, right, bottom stored in reverse from word i.
    QRectF rectReversed(int i) const
    {
        return QRectF(QPointF(s16(i + 3), s16(i + 2)), QPointF(s16(i + 1), s16(i))).normalized();
    }
    // Bytes from word i, at most n and never past the record.
    QByteArray bytes(int i, qint64 n) const
    {
        if (i < 0 || i >= m_words)
            return QByteArray();
        return m_data.mid(int(m_at + 2 * qint64(i)), int(qMin(n, (m_words - i) * 2)));
    }

private:
    const QByteArray &m_data;
    qint64 m_at;
    qint64 m_words;
};
