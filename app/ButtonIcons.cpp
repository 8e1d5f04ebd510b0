#include "ButtonIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace ButtonIcons {

namespace {
constexpr int Size = 48;   // drawn large, scaled down by the button
const QColor Ink(0x2f, 0x4f, 0x7f);

QIcon draw(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Ink, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    paint(painter);
    painter.end();
    return QIcon(pixmap);
}

QIcon arrow(bool pointsRight)
{
    return draw([pointsRight](QPainter &p) {
        QPolygonF head;
        head << QPointF(30, 10) << QPointF(14, 24) << QPointF(30, 38);
        if (pointsRight)
            head = QTransform(-1, 0, 0, 1, Size, 0).map(head);
        p.setBrush(Ink);
        p.drawPolygon(head);
    });
}

QIcon magnifier(bool plus)
{
    return draw([plus](QPainter &p) {
        p.drawEllipse(QPointF(20, 20), 13, 13);
        p.setPen(QPen(Ink, 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(30, 30), QPointF(42, 42));
        p.setPen(QPen(Ink, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 20), QPointF(27, 20));
        if (plus)
            p.drawLine(QPointF(20, 13), QPointF(20, 27));
    });
}
}

QIcon previous() { return arrow(false); }
QIcon next() { return arrow(true); }
QIcon zoomIn() { return magnifier(true); }
QIcon zoomOut() { return magnifier(false); }

QIcon wallpaper()
{
    return draw([](QPainter &p) {
        // A screen on its stand, with a hill and a sun on it.
        p.drawRoundedRect(QRectF(6, 8, 36, 26), 3, 3);
        p.drawLine(QPointF(24, 34), QPointF(24, 41));
        p.drawLine(QPointF(15, 41), QPointF(33, 41));
        QPainterPath hill;
        hill.moveTo(9, 31);
        hill.lineTo(19, 20);
        hill.lineTo(27, 27);
        hill.lineTo(31, 24);
        hill.lineTo(39, 31);
        p.fillPath(hill, Ink);
        p.setBrush(Ink);
        p.drawEllipse(QPointF(33, 15), 2.5, 2.5);
    });
}

QIcon view()
{
    return draw([](QPainter &p) {
        // An eye.
        QPainterPath eye;
        eye.moveTo(5, 24);
        eye.quadTo(24, 4, 43, 24);
        eye.quadTo(24, 44, 5, 24);
        p.drawPath(eye);
        p.setBrush(Ink);
        p.drawEllipse(QPointF(24, 24), 6, 6);
    });
}

}
