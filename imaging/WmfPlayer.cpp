#include "WmfPlayer.h"

#include "ByteReader.h"
#include "DecodeDeadline.h"
#include "DrawnExtent.h"
#include "DibCodec.h"
#include "ImagingLimits.h"
#include "ImgXDocument.h"
#include "WmfParams.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <cmath>
#include <optional>
#include <set>

using ByteReader::le16;
using ByteReader::le16s;
using ByteReader::le32;

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr int kMaxObjects = 65535;   // object indices are 16-bit
constexpr int kText = 1, kIsotropic = 7, kAnisotropic = 8;   // mapping modes

struct FontSpec {
    int height = 0;
    int escapement = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

struct GdiObject {
    enum Kind { Pen, Brush, Font, Other } kind = Other;
    QPen pen;
    QBrush brush;
    FontSpec font;
};

// What SaveDC keeps.
struct DcState {
    QPen pen = QPen(Qt::black, 0);
    QBrush brush = QBrush(Qt::white);
    FontSpec font;
    QColor textColour = Qt::black;
    QColor bkColour = Qt::white;
    bool opaqueBk = true;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int textAlign = 0;
    int mapMode = kAnisotropic;
    QPointF windowOrg;
    QSizeF windowExt;
    QPointF viewportOrg;   // in pixels of the picture
    QSizeF viewportExt;
    QPointF position;
    std::optional<QRegion> clip;   // in device pixels
};

QPen penFrom(const WmfParams &p)
{
    const int style = p.u16(0);
    const int width = qAbs(p.s16(1));
    QPen pen(p.colour(3), width);
    switch (style & 0x0F) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    case 5: pen.setStyle(Qt::NoPen); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    // Wide pens of the old kind are always solid.
    if (width > 1 && pen.style() != Qt::NoPen)
        pen.setStyle(Qt::SolidLine);
    switch (style & 0x0F00) {
    case 0x0100: pen.setCapStyle(Qt::SquareCap); break;
    case 0x0200: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (style & 0xF000) {
    case 0x1000: pen.setJoinStyle(Qt::BevelJoin); break;
    case 0x2000: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return pen;
}

QBrush brushFrom(const WmfParams &p)
{
    const QColor colour = p.colour(1);
    switch (p.u16(0)) {
    case 0: return QBrush(colour);
    case 1: return QBrush(Qt::NoBrush);
    case 2: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        const int hatch = p.u16(3);
        return QBrush(colour, hatch < 6 ? hatches[hatch] : Qt::SolidPattern);
    }
    default: return QBrush(Qt::gray);   // patterns without their bitmap
    }
}

FontSpec fontFrom(const WmfParams &p)
{
    FontSpec font;
    font.height = p.s16(0);
    font.escapement = p.s16(2);
    font.weight = p.s16(4);
    const QByteArray flags = p.bytes(5, 3);
    font.italic = flags.size() > 0 && flags[0];
    font.underline = flags.size() > 1 && flags[1];
    font.strikeOut = flags.size() > 2 && flags[2];
    QByteArray face = p.bytes(9, 32);
    face.truncate(int(qstrnlen(face.constData(), size_t(face.size()))));
    font.face = QString::fromLatin1(face);
    return font;
}

class Player {
public:
    // `frame` is the part of the drawing the picture shows, in logical
    // units of which `unitsPerInch` make an inch; `device` the picture's
    // size in pixels; `placement` moves the drawing on the picture after
    // the file's own mapping.
    Player(const QByteArray &data, QPainter &painter, const QRectF &frame, double unitsPerInch, const QSizeF &device,
           const QTransform &placement = QTransform())
        : m_data(data), m_painter(painter), m_device(device), m_placement(placement)
    {
        // As the system plays a metafile picture: stretchable, the frame
        // as the window and the picture as the viewport, so that a file
        // that sets only its window has that window fill the picture. The
        // file's viewport records are in the picture's pixels, the device
        // units of a picture shown at its own size.
        m_state.windowOrg = frame.topLeft();
        m_state.windowExt = frame.size();
        m_state.viewportExt = device;
        if (!frame.isEmpty())
            m_pixelsPerInch = QSizeF(device.width() / frame.width() * unitsPerInch,
                                     device.height() / frame.height() * unitsPerInch);
        // Shapes are drawn as the system that made the file draws them,
        // without smoothing: exact colours, and a fraction of the time on
        // files of many thousands of shapes. Text is smoothed.
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        applyMapping();
    }

    void play(qint64 at, DecodeDeadline &deadline)
    {
        for (int index = 1; at + 6 <= m_data.size(); ++index) {
            const qint64 words = le32(m_data, at);
            const quint16 function = le16(m_data, at + 4);
            if (function == 0x0000)
                break;
            if (words < 3 || words > (m_data.size() - at) / 2)
                throw ImgXError(QStringLiteral("Cannot read the WMF image: record %1 is damaged (its size runs "
                                               "past the end of the file).").arg(index));
            deadline.check();
            record(function, WmfParams(m_data, at, words));
            at += words * 2;
        }
    }

private:
    void record(quint16 function, const WmfParams &p)
    {
        switch (function) {
        case 0x0201: m_state.bkColour = p.colour(0); break;
        case 0x0102: m_state.opaqueBk = p.u16(0) == 2; break;
        case 0x0103: m_state.mapMode = p.u16(0); applyMapping(); break;
        case 0x0106: m_state.fillRule = p.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case 0x0209: m_state.textColour = p.colour(0); break;
        case 0x012E: m_state.textAlign = p.u16(0); break;
        case 0x020B: m_state.windowOrg = QPointF(p.s16(1), p.s16(0)); applyMapping(); break;
        case 0x020C: setExtent(m_state.windowExt, QSizeF(p.s16(1), p.s16(0))); break;
        case 0x020F: m_state.windowOrg += QPointF(p.s16(1), p.s16(0)); applyMapping(); break;
        case 0x0410: scaleExtent(m_state.windowExt, p); break;
        case 0x020D: m_state.viewportOrg = QPointF(p.s16(1), p.s16(0)); applyMapping(); break;
        case 0x020E: setExtent(m_state.viewportExt, QSizeF(p.s16(1), p.s16(0))); break;
        case 0x0211: m_state.viewportOrg += QPointF(p.s16(1), p.s16(0)); applyMapping(); break;
        case 0x0412: scaleExtent(m_state.viewportExt, p); break;
        case 0x001E: m_saved.push_back(m_state); break;
        case 0x0127: restore(p.s16(0)); break;
        case 0x0416: clip(p.rectReversed(0), true); break;
        case 0x0415: clip(p.rectReversed(0), false); break;
        case 0x02FA: create(GdiObject{GdiObject::Pen, penFrom(p), {}, {}}); break;
        case 0x02FC: create(GdiObject{GdiObject::Brush, {}, brushFrom(p), {}}); break;
        case 0x02FB: create(GdiObject{GdiObject::Font, {}, {}, fontFrom(p)}); break;
        case 0x0142: create(GdiObject{GdiObject::Brush, {}, patternBrush(p), {}}); break;
        case 0x00F7: case 0x01F9: case 0x06FF: create(GdiObject{}); break;
        case 0x012D: select(p.u16(0)); break;
        case 0x01F0: release(p.u16(0)); break;
        case 0x0214: m_state.position = QPointF(p.s16(1), p.s16(0)); break;
        case 0x0213: lineTo(QPointF(p.s16(1), p.s16(0))); break;
        case 0x041B: shape([&] { m_painter.drawRect(p.rectReversed(0)); }); break;
        case 0x0418: shape([&] { m_painter.drawEllipse(p.rectReversed(0)); }); break;
        case 0x061C:
            shape([&] { m_painter.drawRoundedRect(p.rectReversed(2), qAbs(p.s16(1)) / 2.0, qAbs(p.s16(0)) / 2.0); });
            break;
        case 0x0817: arc(p, 0); break;
        case 0x081A: arc(p, 1); break;
        case 0x0830: arc(p, 2); break;
        case 0x0324: polygon(p, true); break;
        case 0x0325: polygon(p, false); break;
        case 0x0538: polyPolygon(p); break;
        case 0x041F: setPixel(p); break;
        case 0x061D: patBlt(p.u32(0), QRectF(p.s16(5), p.s16(4), p.s16(3), p.s16(2))); break;
        case 0x0521: textOut(p); break;
        case 0x0A32: extTextOut(p); break;
        case 0x0F43: stretchDib(p); break;
        case 0x0B41: dibStretchBlt(p); break;
        case 0x0940: dibBitBlt(p); break;
        default: break;   // state the picture does not show, or records this player passes over
        }
    }

    // ---- mapping and state ----

    // Extents count only in the stretchable modes; elsewhere the system
    // passes them over.
    void setExtent(QSizeF &extent, const QSizeF &to)
    {
        if (to.width() == 0 || to.height() == 0 || !stretchable())
            return;
        extent = to;
        applyMapping();
    }

    // Parameters: y denominator, y numerator, x denominator, x numerator.
    void scaleExtent(QSizeF &extent, const WmfParams &p)
    {
        if (p.s16(0) && p.s16(2))
            setExtent(extent, QSizeF(extent.width() * p.s16(3) / p.s16(2), extent.height() * p.s16(1) / p.s16(0)));
    }

    bool stretchable() const { return m_state.mapMode == kIsotropic || m_state.mapMode == kAnisotropic; }

    // Logical units to pixels, as the system maps them: the window onto
    // the viewport in the stretchable modes (in the isotropic one with the
    // smaller scale on both axes), fixed sizes with y growing upwards in
    // the metric and English modes, one to one in the text mode.
    QTransform logicalToDevice() const
    {
        static const double unitsPerInch[] = {0, 0, 254, 2540, 100, 1000, 1440};
        double sx = 1, sy = 1;
        switch (m_state.mapMode) {
        case kText: break;
        case 2: case 3: case 4: case 5: case 6:   // 0.1 mm, 0.01 mm, 0.01 inch, 0.001 inch, twips
            sx = m_pixelsPerInch.width() / unitsPerInch[m_state.mapMode];
            sy = -m_pixelsPerInch.height() / unitsPerInch[m_state.mapMode];
            break;
        default: {
            const QSizeF window = m_state.windowExt, viewport = m_state.viewportExt;
            sx = viewport.width() / window.width();
            sy = viewport.height() / window.height();
            if (m_state.mapMode == kIsotropic) {
                const double s = qMin(qAbs(sx), qAbs(sy));
                sx = sx < 0 ? -s : s;
                sy = sy < 0 ? -s : s;
            }
            break;
        }
        }
        return QTransform(sx, 0, 0, sy, m_state.viewportOrg.x() - m_state.windowOrg.x() * sx,
                          m_state.viewportOrg.y() - m_state.windowOrg.y() * sy);
    }

    void applyMapping() { m_painter.setTransform(logicalToDevice() * m_placement); }

    void restore(int which)
    {
        // Negative: that many states back; positive: that saved state.
        const qint64 index = which < 0 ? qint64(m_saved.size()) + which : qint64(which) - 1;
        if (index < 0 || index >= qint64(m_saved.size()))
            return;
        m_state = m_saved[size_t(index)];
        m_saved.resize(size_t(index));
        applyMapping();
        applyClip();
    }

    void clip(const QRectF &logical, bool intersect)
    {
        const QRegion rect(m_painter.transform().mapRect(logical).toAlignedRect());
        const QRegion all(QRect(QPoint(0, 0), m_device.toSize()));
        const QRegion current = m_state.clip.value_or(all);
        m_state.clip = intersect ? current.intersected(rect) : current.subtracted(rect);
        applyClip();
    }

    void applyClip()
    {
        if (!m_state.clip) {
            m_painter.setClipping(false);
            return;
        }
        const QTransform mapping = m_painter.transform();
        m_painter.resetTransform();
        m_painter.setClipRegion(*m_state.clip);
        m_painter.setTransform(mapping);
    }

    // ---- objects ----

    void create(const GdiObject &object)
    {
        int index;
        if (!m_free.empty()) {
            index = *m_free.begin();
            m_free.erase(m_free.begin());
        } else if (m_objects.size() < size_t(kMaxObjects)) {
            index = int(m_objects.size());
            m_objects.emplace_back();
        } else {
            return;
        }
        m_objects[size_t(index)] = object;
    }

    void select(int index)
    {
        if (size_t(index) >= m_objects.size() || !m_objects[size_t(index)])
            return;
        const GdiObject &object = *m_objects[size_t(index)];
        switch (object.kind) {
        case GdiObject::Pen: m_state.pen = object.pen; break;
        case GdiObject::Brush: m_state.brush = object.brush; break;
        case GdiObject::Font: m_state.font = object.font; break;
        case GdiObject::Other: break;
        }
    }

    void release(int index)
    {
        if (size_t(index) >= m_objects.size() || !m_objects[size_t(index)])
            return;
        m_objects[size_t(index)].reset();
        m_free.insert(index);
    }

    QBrush patternBrush(const WmfParams &p)
    {
        const QImage pattern = DibCodec::decodePacked(p.bytes(2, p.count() * 2));
        if (pattern.isNull() || pattern.width() > 256 || pattern.height() > 256)
            return QBrush(Qt::gray);
        return QBrush(pattern);
    }

    // ---- drawing ----

    // Draws with the pen and brush in use; a hatched brush on an opaque
    // background first fills with the background colour.
    template <typename Draw>
    void shape(Draw draw, bool filled = true)
    {
        const Qt::BrushStyle style = m_state.brush.style();
        if (filled && m_state.opaqueBk && style >= Qt::HorPattern && style <= Qt::DiagCrossPattern) {
            m_painter.setPen(Qt::NoPen);
            m_painter.setBrush(m_state.bkColour);
            draw();
        }
        m_painter.setPen(m_state.pen);
        m_painter.setBrush(filled ? m_state.brush : QBrush(Qt::NoBrush));
        draw();
    }

    void lineTo(const QPointF &to)
    {
        const QPointF from = m_state.position;
        shape([&] { m_painter.drawLine(from, to); }, false);
        m_state.position = to;
    }

    // kind: 0 arc, 1 pie, 2 chord. Drawn counter-clockwise on screen from
    // the start radial to the end radial.
    void arc(const WmfParams &p, int kind)
    {
        const QRectF box = p.rectReversed(4);
        if (box.isEmpty())
            return;
        const QPointF centre = box.center();
        const auto angleOf = [&](const QPointF &point) {
            // Angles on the unit circle of the box, y growing downwards.
            const double dx = (point.x() - centre.x()) / box.width();
            const double dy = (point.y() - centre.y()) / box.height();
            return std::atan2(-dy, dx) * 180.0 / M_PI;
        };
        const double start = angleOf(QPointF(p.s16(3), p.s16(2)));
        double span = angleOf(QPointF(p.s16(1), p.s16(0))) - start;
        if (span <= 0)
            span += 360;
        // A mapping that mirrors one axis turns the logical direction round.
        if (m_painter.transform().determinant() < 0)
            span -= 360;
        const int a = int(std::lround(start * 16)), s = int(std::lround(span * 16));
        switch (kind) {
        case 0: shape([&] { m_painter.drawArc(box, a, s); }, false); break;
        case 1: shape([&] { m_painter.drawPie(box, a, s); }); break;
        default: shape([&] { m_painter.drawChord(box, a, s); }); break;
        }
    }

    QPolygon points(const WmfParams &p, int first, int count) const
    {
        QPolygon polygon(count);
        for (int i = 0; i < count; ++i)
            polygon[i] = p.point(first + 2 * i);
        return polygon;
    }

    void polygon(const WmfParams &p, bool closed)
    {
        const int count = int(qMin<qint64>(p.u16(0), (p.count() - 1) / 2));
        if (count <= 0)
            return;
        const QPolygon polygon = points(p, 1, count);
        if (closed)
            shape([&] { m_painter.drawPolygon(polygon, m_state.fillRule); });
        else
            shape([&] { m_painter.drawPolyline(polygon); }, false);
    }

    void polyPolygon(const WmfParams &p)
    {
        const int polygons = p.u16(0);
        if (polygons <= 0 || polygons >= p.count())
            return;
        QPainterPath path;
        path.setFillRule(m_state.fillRule);
        qint64 at = 1 + polygons;
        for (int i = 0; i < polygons; ++i) {
            const int count = p.u16(1 + i);
            if (at + 2 * qint64(count) > p.count())
                break;
            path.addPolygon(points(p, int(at), count));
            path.closeSubpath();
            at += 2 * qint64(count);
        }
        shape([&] { m_painter.drawPath(path); });
    }

    void setPixel(const WmfParams &p)
    {
        const QRectF pixel = m_painter.transform().mapRect(QRectF(p.s16(3), p.s16(2), 1, 1));
        const QTransform mapping = m_painter.transform();
        m_painter.resetTransform();
        m_painter.fillRect(QRectF(pixel.topLeft(), QSizeF(1, 1)), p.colour(0));
        m_painter.setTransform(mapping);
    }

    void patBlt(quint32 rop, const QRectF &rect)
    {
        QBrush brush = m_state.brush;
        if (rop == 0x00000042)
            brush = QBrush(Qt::black);
        else if (rop == 0x00FF0062)
            brush = QBrush(Qt::white);
        else if (rop == 0x00AA0029)
            return;   // leaves the destination as it is
        m_painter.fillRect(rect.normalized(), brush);
    }

    // ---- text ----

    QFont fontFor(double scale) const
    {
        const FontSpec &spec = m_state.font;
        QFont font(spec.face.isEmpty() ? QStringLiteral("Sans Serif") : spec.face);
        // A negative height is the character height, a positive one the
        // cell height; 0 asks for a default size.
        const double wanted = spec.height ? qAbs(spec.height) * scale : 12.0 * scale;
        font.setPixelSize(qBound(1, int(std::lround(wanted)), 4096));
        if (spec.height > 0) {
            const double cell = QFontMetricsF(font).height();
            if (cell > 0)
                font.setPixelSize(qBound(1, int(std::lround(font.pixelSize() * wanted / cell)), 4096));
        }
        if (spec.weight > 0)
            font.setWeight(QFont::Weight(qBound(1, spec.weight, 1000)));
        font.setItalic(spec.italic);
        font.setUnderline(spec.underline);
        font.setStrikeOut(spec.strikeOut);
        return font;
    }

    // Text is drawn in device pixels, upright whatever way the mapping
    // turns the axes; advances, when given, are in logical units.
    void drawText(QPointF logical, const QByteArray &bytes, const QVector<int> &advances,
                  const std::optional<QRectF> &clipRect)
    {
        const QString text = QString::fromLatin1(bytes);
        if (text.isEmpty())
            return;
        const bool updatePosition = m_state.textAlign & 1;
        if (updatePosition)
            logical = m_state.position;
        const QTransform mapping = m_painter.transform();
        const double sx = qAbs(mapping.m11()), sy = qAbs(mapping.m22());
        const QFont font = fontFor(sy);
        const QFontMetricsF metrics(font);
        QVector<double> offsets;   // of each character from the start, in pixels
        double width = 0;
        if (advances.size() == text.size()) {
            for (int a : advances) {
                offsets << width;
                width += a * sx;
            }
        } else {
            width = metrics.horizontalAdvance(text);
        }
        const int horizontal = m_state.textAlign & 6, vertical = m_state.textAlign & 24;
        double x = horizontal == 6 ? -width / 2 : horizontal == 2 ? -width : 0;
        const double y = vertical == 24 ? 0 : vertical == 8 ? -metrics.descent() : metrics.ascent();

        m_painter.save();
        m_painter.resetTransform();
        if (clipRect)
            m_painter.setClipRect(mapping.mapRect(*clipRect), Qt::IntersectClip);
        m_painter.translate(mapping.map(logical));
        m_painter.rotate(-m_state.font.escapement / 10.0);
        if (m_state.opaqueBk)
            m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), m_state.bkColour);
        m_painter.setFont(font);
        m_painter.setPen(m_state.textColour);
        if (offsets.isEmpty()) {
            m_painter.drawText(QPointF(x, y), text);
        } else {
            for (int i = 0; i < text.size(); ++i)
                m_painter.drawText(QPointF(x + offsets[i], y), QString(text[i]));
        }
        m_painter.restore();
        if (updatePosition)
            m_state.position = logical + QPointF(horizontal ? 0 : width / qMax(sx, 1e-9), 0);
    }

    void textOut(const WmfParams &p)
    {
        const int length = p.u16(0);
        const int words = (length + 1) / 2;
        drawText(QPointF(p.s16(2 + words), p.s16(1 + words)), p.bytes(1, length), {}, std::nullopt);
    }

    void extTextOut(const WmfParams &p)
    {
        const QPointF at(p.s16(1), p.s16(0));
        const int length = p.u16(2), options = p.u16(3);
        int next = 4;
        std::optional<QRectF> rect;
        if (options & 0x0006) {
            rect = QRectF(QPointF(p.s16(4), p.s16(5)), QPointF(p.s16(6), p.s16(7))).normalized();
            next = 8;
            if (options & 0x0002)
                m_painter.fillRect(*rect, m_state.bkColour);
        }
        const QByteArray text = p.bytes(next, length);
        QVector<int> advances;
        const int dxAt = next + (length + 1) / 2;
        if (p.count() >= dxAt + length) {
            for (int i = 0; i < length; ++i)
                advances << p.s16(dxAt + i);
        }
        drawText(at, text, advances, (options & 0x0004) ? rect : std::nullopt);
    }

    // ---- bitmaps ----

    void blit(quint32 rop, const QByteArray &dib, const QRectF &source, QRectF dest)
    {
        QImage image = DibCodec::decodePacked(dib);
        if (image.isNull())
            throw ImgXError(QStringLiteral("Cannot draw the WMF image: a bitmap in it is damaged."));
        const bool mirrorX = dest.width() < 0, mirrorY = dest.height() < 0;
        if (mirrorX || mirrorY)
            image = image.mirrored(mirrorX, mirrorY);
        dest = dest.normalized();
        QRectF from = source.normalized();
        if (from.isEmpty())
            from = image.rect();
        const QPainter::CompositionMode before = m_painter.compositionMode();
        switch (rop) {
        case 0x008800C6: m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
        case 0x00EE0086: m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
        case 0x00660046: m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        case 0x00330008: m_painter.setCompositionMode(QPainter::RasterOp_NotSource); break;
        default: break;
        }
        m_painter.drawImage(dest, image, from);
        m_painter.setCompositionMode(before);
    }

    void stretchDib(const WmfParams &p)
    {
        blit(p.u32(0), p.bytes(11, p.count() * 2), QRectF(p.s16(6), p.s16(5), p.s16(4), p.s16(3)),
             QRectF(p.s16(10), p.s16(9), p.s16(8), p.s16(7)));
    }

    void dibStretchBlt(const WmfParams &p)
    {
        if (p.count() <= 11) {   // no bitmap: a fill with the brush
            patBlt(p.u32(0), QRectF(p.s16(10), p.s16(9), p.s16(8), p.s16(7)));
            return;
        }
        blit(p.u32(0), p.bytes(10, p.count() * 2), QRectF(p.s16(5), p.s16(4), p.s16(3), p.s16(2)),
             QRectF(p.s16(9), p.s16(8), p.s16(7), p.s16(6)));
    }

    void dibBitBlt(const WmfParams &p)
    {
        if (p.count() <= 9) {
            patBlt(p.u32(0), QRectF(p.s16(8), p.s16(7), p.s16(6), p.s16(5)));
            return;
        }
        const QSizeF size(p.s16(5), p.s16(4));
        blit(p.u32(0), p.bytes(8, p.count() * 2), QRectF(QPointF(p.s16(3), p.s16(2)), size),
             QRectF(QPointF(p.s16(7), p.s16(6)), size));
    }

    const QByteArray &m_data;
    QPainter &m_painter;
    QSizeF m_device;
    QTransform m_placement;
    QSizeF m_pixelsPerInch{96, 96};
    DcState m_state;
    std::vector<DcState> m_saved;
    std::vector<std::optional<GdiObject>> m_objects;
    std::set<int> m_free;
};

qint64 firstRecord(const QByteArray &data)
{
    const qint64 at = data.size() >= 22 && le32(data, 0) == kPlaceableKey ? 22 : 0;
    if (at + 18 > data.size())
        return -1;
    return at + qMax<qint64>(9, le16(data, at + 2)) * 2;
}

// The metafile's frame in its own units: the placeable header's box, or
// else the window the drawing sets up. *unitsPerInch receives the header's
// units per inch (1440, the usual twips, without a placeable header).
// Empty when there is no frame.
QRectF logicalFrame(const QByteArray &data, double *unitsPerInch)
{
    *unitsPerInch = 1440;
    if (data.size() >= 22 && le32(data, 0) == kPlaceableKey) {
        const int left = le16s(data, 6), top = le16s(data, 8), right = le16s(data, 10), bottom = le16s(data, 12);
        if (le16(data, 14) > 0)
            *unitsPerInch = le16(data, 14);
        const QRectF box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        if (!box.isEmpty())
            return box;
    }
    qint64 at = firstRecord(data);
    if (at < 0)
        return QRectF();
    QPointF origin;
    while (at + 6 <= data.size()) {
        const qint64 words = le32(data, at);
        const quint16 function = le16(data, at + 4);
        if (words < 3 || words > (data.size() - at) / 2 || function == 0)
            break;
        if (function == 0x020B && words >= 5)
            origin = QPointF(le16s(data, at + 8), le16s(data, at + 6));
        if (function == 0x020C && words >= 5) {
            const double h = le16s(data, at + 6), w = le16s(data, at + 8);
            return QRectF(origin.x() + qMin(0.0, w), origin.y() + qMin(0.0, h), qAbs(w), qAbs(h));
        }
        at += words * 2;
    }
    return QRectF();
}

// Where a drawing lands on a picture of `size`, as its records place it.
QRectF drawnExtent(const QByteArray &data, const QRectF &frame, double unitsPerInch, const QSize &size,
                   DecodeDeadline &deadline)
{
    return DrawnExtent::of(size, [&](QPainter &painter) {
        Player(data, painter, frame, unitsPerInch, QSizeF(size)).play(firstRecord(data), deadline);
    });
}

// A drawing that runs well past its picture's box is shown whole, its
// extent filling the picture, as other readers of such files show it; one
// within its box (a pen's width over the edge, or a few per cent) stays
// where its records place it, margins and all.
QTransform placementOf(const QRectF &drawn, const QSizeF &size)
{
    const QRectF picture(QPointF(0, 0), size);
    const double slackX = qMax(2.0, size.width() * 0.05), slackY = qMax(2.0, size.height() * 0.05);
    if (drawn.isEmpty() || picture.adjusted(-slackX, -slackY, slackX, slackY).contains(drawn))
        return QTransform();
    return QTransform::fromTranslate(-drawn.left(), -drawn.top())
        * QTransform::fromScale(size.width() / drawn.width(), size.height() / drawn.height());
}

// The frame is upright: a drawing whose window extent is negative is
// turned over to fill it. The caller has checked the size.
QImage playOnto(const QByteArray &data, const QRectF &frame, double unitsPerInch, const QSize &size,
               DecodeDeadline &deadline, const QTransform &placement = QTransform())
{
    QImage image = ImagingLimits::newImage(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Player(data, painter, frame, unitsPerInch, QSizeF(size), placement).play(firstRecord(data), deadline);
    painter.end();
    return image;
}

}

namespace WmfPlayer {

QImage render(const QByteArray &data)
{
    if (firstRecord(data) < 0)
        throw ImgXError(QStringLiteral("Cannot read the WMF image: its header is incomplete."));
    DecodeDeadline deadline(QStringLiteral("WMF"));
    double inch = 1440;
    const QRectF window = logicalFrame(data, &inch);
    if (!window.isEmpty()) {
        const QSize size(qMax(1, int(std::lround(window.width() * 96.0 / inch))),
                         qMax(1, int(std::lround(window.height() * 96.0 / inch))));
        // Refused before the drawing is measured: a picture too large to
        // hold costs no play of its records.
        ImagingLimits::checkDecodeSize(size.width(), size.height());
        const QRectF drawn = drawnExtent(data, window, inch, size, deadline);
        return playOnto(data, window, inch, size, deadline, placementOf(drawn, QSizeF(size)));
    }
    // No frame: one unit a pixel, as large as what is drawn.
    QPicture picture;
    {
        QPainter painter(&picture);
        Player(data, painter, QRectF(0, 0, 1, 1), inch, QSizeF(1, 1)).play(firstRecord(data), deadline);
    }
    const QRect drawn = picture.boundingRect();
    if (drawn.isEmpty())
        throw ImgXError(QStringLiteral("Cannot read the WMF image: it gives no picture size and draws nothing."));
    const QRect area = QRect(QPoint(qMin(0, drawn.left()), qMin(0, drawn.top())), drawn.bottomRight());
    ImagingLimits::checkDecodeSize(area.width(), area.height());
    return playOnto(data, QRectF(area), inch, area.size(), deadline);
}

}
