#include "AliasedPainting.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Hands every state change and drawing call on to a painter on the
// picture, with smoothing of shapes taken out and thin pens made hairlines.
class AliasingEngine : public QPaintEngine {
public:
    explicit AliasingEngine(QImage &target) : QPaintEngine(AllFeatures), m_target(target) {}

    bool begin(QPaintDevice *) override { return m_painter.begin(&m_target); }
    bool end() override { return m_painter.end(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyTransform)
            m_painter.setTransform(state.transform());
        if (dirty & DirtyPen)
            m_pen = state.pen();
        if (dirty & (DirtyPen | DirtyTransform))
            m_painter.setPen(devicePen());
        if (dirty & DirtyBrush)
            m_painter.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_painter.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont)
            m_painter.setFont(state.font());
        if (dirty & DirtyBackground)
            m_painter.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_painter.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyClipRegion)
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipPath)
            m_painter.setClipPath(state.clipPath(), state.clipOperation());
        if ((dirty & DirtyClipEnabled) && state.isClipEnabled() != m_painter.hasClipping())
            m_painter.setClipping(state.isClipEnabled());
        if (dirty & DirtyHints)
            m_painter.setRenderHints(state.renderHints() & ~QPainter::Antialiasing);
        if (dirty & DirtyCompositionMode)
            m_painter.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            m_painter.setOpacity(state.opacity());
    }

    void drawPath(const QPainterPath &path) override { m_painter.drawPath(path); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode)
            m_painter.drawPolyline(points, count);
        else
            m_painter.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawLines(const QLineF *lines, int count) override { m_painter.drawLines(lines, count); }
    void drawRects(const QRectF *rects, int count) override { m_painter.drawRects(rects, count); }
    void drawEllipse(const QRectF &rect) override { m_painter.drawEllipse(rect); }
    void drawPoints(const QPointF *points, int count) override { m_painter.drawPoints(points, count); }
    void drawTextItem(const QPointF &at, const QTextItem &text) override { m_painter.drawTextItem(at, text); }
    void drawPixmap(const QRectF &to, const QPixmap &pixmap, const QRectF &from) override
    {
        m_painter.drawPixmap(to, pixmap, from);
    }
    void drawTiledPixmap(const QRectF &to, const QPixmap &pixmap, const QPointF &offset) override
    {
        m_painter.drawTiledPixmap(to, pixmap, offset);
    }
    void drawImage(const QRectF &to, const QImage &image, const QRectF &from, Qt::ImageConversionFlags flags) override
    {
        m_painter.drawImage(to, image, from, flags);
    }

private:
    // A line the pen would draw at most about a pixel wide is drawn one
    // pixel wide: Qt takes its quick hairline path for it, where a pen a
    // hair wider than a pixel outlines every segment and join.
    QPen devicePen() const
    {
        QPen pen = m_pen;
        const double scale = std::sqrt(std::abs(m_painter.transform().determinant()));
        if (!pen.isCosmetic() && pen.widthF() * scale < 1.5)
            pen.setWidth(0);
        return pen;
    }

    QImage &m_target;
    QPainter m_painter;
    QPen m_pen;
};

class AliasingDevice : public QPaintDevice {
public:
    explicit AliasingDevice(QImage &target) : m_target(target), m_engine(target) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_target.width();
        case PdmHeight: return m_target.height();
        case PdmWidthMM: return m_target.widthMM();
        case PdmHeightMM: return m_target.heightMM();
        case PdmNumColors: return m_target.colorCount();
        case PdmDepth: return m_target.depth();
        case PdmDpiX: return m_target.logicalDpiX();
        case PdmDpiY: return m_target.logicalDpiY();
        case PdmPhysicalDpiX: return m_target.physicalDpiX();
        case PdmPhysicalDpiY: return m_target.physicalDpiY();
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    QImage &m_target;
    mutable AliasingEngine m_engine;
};

}

namespace AliasedPainting {

void paint(QImage &image, const std::function<void(QPainter &)> &draw)
{
    AliasingDevice device(image);
    QPainter painter(&device);
    draw(painter);
}

}
