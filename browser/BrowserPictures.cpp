#include "BrowserPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace BrowserPictures {

namespace {

// A transparent picture of the logical size at the ratio.
QImage blank(int width, int height, qreal pixelRatio)
{
    QImage image(qRound(width * pixelRatio), qRound(height * pixelRatio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    return image;
}

// The last picture drawn, drawn anew only for another ratio (the browser
// draws its pictures on the user interface thread only).
QImage cached(QImage &picture, qreal pixelRatio, QImage (*draw)(qreal))
{
    if (picture.isNull() || picture.devicePixelRatio() != pixelRatio)
        picture = draw(pixelRatio);
    return picture;
}

QImage drawFolder(qreal pixelRatio)
{
    QImage image = blank(150, 125, pixelRatio);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor edge(196, 150, 40);
        // The tab, then the body in front of it.
        QPainterPath tab;
        tab.moveTo(22, 30);
        tab.lineTo(60, 30);
        tab.lineTo(70, 40);
        tab.lineTo(128, 40);
        tab.lineTo(128, 100);
        tab.lineTo(22, 100);
        tab.closeSubpath();
        p.setPen(QPen(edge, 2));
        p.setBrush(QColor(240, 196, 80));
        p.drawPath(tab);
        QLinearGradient front(0, 48, 0, 102);
        front.setColorAt(0, QColor(255, 224, 130));
        front.setColorAt(1, QColor(246, 200, 84));
        p.setBrush(front);
        p.drawRoundedRect(QRectF(18, 48, 114, 54), 4, 4);
    }
    return image;
}

QImage drawLoading(qreal pixelRatio)
{
    QImage image = blank(125, 125, pixelRatio);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 200, 200), 2));
        p.setBrush(QColor(244, 244, 244));
        p.drawRoundedRect(QRectF(16, 16, 93, 93), 6, 6);
        // Three dots: something is on its way.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(160, 160, 160));
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(46 + i * 16, 62.5), 5, 5);
    }
    return image;
}

}

QImage folder(qreal pixelRatio)
{
    static QImage picture;
    return cached(picture, pixelRatio, drawFolder);
}

QImage loading(qreal pixelRatio)
{
    static QImage picture;
    return cached(picture, pixelRatio, drawLoading);
}

}
