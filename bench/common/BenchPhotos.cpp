#include "BenchPhotos.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace BenchPhotos {

QImage makePhoto(const QSize &size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 120, 230));
    sky.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 200, 90));
    p.fillRect(image.rect(), sky);
    QRandomGenerator rng(seed);
    for (int i = 0; i < 400; ++i) {
        p.setBrush(QColor::fromRgb(rng.generate()));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(rng.bounded(size.width()), rng.bounded(size.height())), rng.bounded(20, 200),
                      rng.bounded(20, 200));
    }
    p.end();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int n = int(rng.bounded(16)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255), qBound(0, qBlue(c) + n, 255));
        }
    }
    return image;
}

}
