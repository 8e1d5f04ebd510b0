#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace TestFiles {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 160, 60));
    QPainter painter(&image);
    painter.fillRect(0, 0, qMax(1, width / 4), qMax(1, height / 4), Qt::red);
    painter.fillRect(width - qMax(1, width / 4), height - qMax(1, height / 4), qMax(1, width / 4),
                     qMax(1, height / 4), Qt::blue);
    return image;
}

bool writeImage(const QString &path, int width, int height, const char *format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return pattern(width, height).save(path, format);
}

}
