#include "DrawnExtent.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

namespace {

class ExtentEngine : public QPaintEngine {
public:
    ExtentEngine() : QPaintEngine(AllFeatures) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &) override {}

    void drawPath(const QPainterPath &path) override { add(path.controlPointRect()); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
    {
        if (count > 0)
            add(QPolygonF(QVector<QPointF>(points, points + count)).boundingRect());
    }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            add(QRectF(lines[i].p1(), lines[i].p2()).normalized());
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            add(rects[i].normalized());
    }
    void drawEllipse(const QRectF &rect) override { add(rect.normalized()); }
    void drawPoints(const QPointF *points, int count) override
    {
        for (int i = 0; i < count; ++i)
            add(QRectF(points[i], QSizeF(1, 1)));
    }
    void drawTextItem(const QPointF &at, const QTextItem &text) override
    {
        add(QRectF(at.x(), at.y() - text.ascent(), text.width(), text.ascent() + text.descent()));
    }
    void drawPixmap(const QRectF &to, const QPixmap &, const QRectF &) override { add(to); }
    void drawTiledPixmap(const QRectF &to, const QPixmap &, const QPointF &) override { add(to); }
    void drawImage(const QRectF &to, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { add(to); }

    QRectF extent() const { return m_extent; }

private:
    // `logical` in the painter's coordinates.
    void add(const QRectF &logical)
    {
        QRectF device = painter()->transform().mapRect(logical);
        if (painter()->hasClipping())
            device &= painter()->transform().mapRect(painter()->clipBoundingRect());
        m_extent |= device;   // a shape clipped away entirely is null and adds nothing
    }

    QRectF m_extent;
};

class ExtentDevice : public QPaintDevice {
public:
    explicit ExtentDevice(const QSize &size) : m_size(size) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QRectF extent() const { return m_engine.extent(); }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_size.width();
        case PdmHeight: return m_size.height();
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmWidthMM: return m_size.width() * 254 / 960;
        case PdmHeightMM: return m_size.height() * 254 / 960;
        case PdmDepth: return 32;
        case PdmNumColors: return 0;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    QSize m_size;
    mutable ExtentEngine m_engine;
};

}

namespace DrawnExtent {

QRectF of(const QSize &size, const std::function<void(QPainter &)> &draw)
{
    ExtentDevice device(size);
    {
        QPainter painter(&device);
        draw(painter);
    }
    return device.extent();
}

}
