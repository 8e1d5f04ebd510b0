#include "Splash.h"

#include <QImageReader>
#include <QPointer>
#include <QSplashScreen>
#include <QTimer>

Splash::Splash() = default;

Splash::~Splash()
{
    delete m_screen;
}

bool Splash::LoadSplash(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    m_picture = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    return !m_picture.isNull();
}

void Splash::Show(int)
{
    if (m_picture.isNull())
        return;
    delete m_screen;
    m_screen = new QSplashScreen(m_picture, Qt::WindowStaysOnTopHint);
    m_screen->show();
    QPointer<QSplashScreen> screen(m_screen);
    QTimer::singleShot(kShowMilliseconds, m_screen, [screen] {
        if (screen)
            screen->close();
    });
}

bool Splash::isVisible() const
{
    return m_screen && m_screen->isVisible();
}
