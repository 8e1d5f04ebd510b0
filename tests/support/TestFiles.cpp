#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

QImage stripes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

bool writeImage(const QString &path, int width, int height, const char *format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return pattern(width, height).save(path, format);
}

bool readerWaitedOnPipe(const QString &path, const std::function<void()> &action, bool *made)
{
    const QByteArray pipe = QFile::encodeName(path);
    const bool pipeMade = ::mkfifo(pipe.constData(), 0600) == 0;
    if (made)
        *made = pipeMade;
    if (!pipeMade)
        return false;
    std::atomic<bool> done{false};
    std::atomic<bool> readerWaited{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 50 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        while (!done) {
            const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                readerWaited = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    action();
    done = true;
    watchdog.join();
    return readerWaited;
}

}
