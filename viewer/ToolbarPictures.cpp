#include "ToolbarPictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace ToolbarPictures {

namespace {

struct Ink {
    QColor line;
    QColor fill;
    QColor accent;
};

Ink inkFor(bool hover)
{
    if (hover)
        return {QColor(0x10, 0x3C, 0x8C), QColor(0xFF, 0xD8, 0x5A), QColor(0x1E, 0x90, 0x3C)};
    return {QColor(0x3A, 0x46, 0x5A), QColor(0xE8, 0xC2, 0x5C), QColor(0x3A, 0x7D, 0x4E)};
}

void drawFolder(QPainter &p, const Ink &ink)
{
    p.setPen(QPen(ink.line, 1.5));
    p.setBrush(ink.fill.darker(110));
    p.drawPolygon(QPolygonF({{8, 9}, {16, 9}, {18, 11}, {31, 11}, {31, 25}, {8, 25}}));
    p.setBrush(ink.fill);
    p.drawPolygon(QPolygonF({{11, 15}, {34, 15}, {31, 25}, {8, 25}}));
}

void drawThumbnails(QPainter &p, const Ink &ink)
{
    p.setPen(QPen(ink.line, 1.2));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QRectF r(9 + col * 12, 5 + row * 12, 10, 10);
            p.setBrush(Qt::white);
            p.drawRect(r);
            p.setBrush((row + col) % 2 ? ink.accent : ink.fill);
            p.drawRect(r.adjusted(2, 2, -2, -2));
        }
    }
}

void drawArrow(QPainter &p, const Ink &ink, bool right)
{
    QPolygonF arrow({{10, 13}, {20, 13}, {20, 7}, {31, 16}, {20, 25}, {20, 19}, {10, 19}});
    if (!right) {
        for (QPointF &pt : arrow)
            pt.setX(40 - pt.x());
    }
    p.setPen(QPen(ink.line, 1.5));
    p.setBrush(ink.accent);
    p.drawPolygon(arrow);
}

void drawSlideShow(QPainter &p, const Ink &ink)
{
    p.setPen(QPen(ink.line, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 6, 24, 17));
    p.setBrush(ink.accent);
    p.drawPolygon(QPolygonF({{17, 10}, {25, 14.5}, {17, 19}}));
    p.drawLine(QPointF(20, 23), QPointF(15, 28));
    p.drawLine(QPointF(20, 23), QPointF(25, 28));
}

void drawMagnifier(QPainter &p, const Ink &ink, bool plus)
{
    p.setPen(QPen(ink.line, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 20), QPointF(30, 27));
    p.setPen(QPen(ink.line, 1.8));
    p.setBrush(QColor(0xF4, 0xFA, 0xFF));
    p.drawEllipse(QPointF(17, 14), 8, 8);
    p.setPen(QPen(ink.accent, 2.2));
    p.drawLine(QPointF(13, 14), QPointF(21, 14));
    if (plus)
        p.drawLine(QPointF(17, 10), QPointF(17, 18));
}

void drawCorner(QPainter &p, QPointF tip, double dx, double dy)
{
    p.drawLine(tip, tip + QPointF(6 * dx, 0));
    p.drawLine(tip, tip + QPointF(0, 6 * dy));
    p.drawLine(tip, tip + QPointF(5 * dx, 5 * dy));
}

void drawFullScreen(QPainter &p, const Ink &ink)
{
    p.setPen(QPen(ink.line, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 10, 16, 12));
    p.setPen(QPen(ink.accent, 2, Qt::SolidLine, Qt::RoundCap));
    drawCorner(p, {7, 5}, 1, 1);
    drawCorner(p, {33, 5}, -1, 1);
    drawCorner(p, {7, 27}, 1, -1);
    drawCorner(p, {33, 27}, -1, -1);
}

void drawHoverGlow(QPainter &p)
{
    p.setPen(QPen(QColor(0x7A, 0xA7, 0xE0), 1));
    p.setBrush(QColor(0xF2, 0xF7, 0xFF));
    p.drawRoundedRect(QRectF(1.5, 1.5, 37, 29), 4, 4);
}

void drawSymbol(QPainter &p, const QString &key, const Ink &ink)
{
    if (key == QLatin1String("open32"))
        drawFolder(p, ink);
    else if (key == QLatin1String("browsed32"))
        drawThumbnails(p, ink);
    else if (key == QLatin1String("previous32"))
        drawArrow(p, ink, false);
    else if (key == QLatin1String("next32"))
        drawArrow(p, ink, true);
    else if (key == QLatin1String("slidshow32"))
        drawSlideShow(p, ink);
    else if (key == QLatin1String("zoomin32"))
        drawMagnifier(p, ink, true);
    else if (key == QLatin1String("zoomiout32"))
        drawMagnifier(p, ink, false);
    else if (key == QLatin1String("fullscreen32"))
        drawFullScreen(p, ink);
}

}

QPixmap picture(const QString &key, bool hover, qreal pixelRatio)
{
    QImage image(qRound(kWidth * pixelRatio), qRound(kHeight * pixelRatio), QImage::Format_RGB888);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(BackColor);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (hover)
        drawHoverGlow(painter);
    drawSymbol(painter, key, inkFor(hover));
    painter.end();
    return QPixmap::fromImage(image);
}

}
