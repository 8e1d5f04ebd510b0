#include "Splash.h"

#include <QApplication>
#include <QImageReader>
#include <QPointer>
#include <QSplashScreen>
#include <QTimer>

namespace {

// The splash stays on top of every window, so it closes before a dialog or
// message box comes on screen: nothing the user must answer lies under it,
// and no key meant for the splash's time answers it unseen. A widget's
// show event comes before its window is mapped. The watch sees every event
// of the program, so it ends when the splash closes.
class DialogWatch : public QObject {
public:
    explicit DialogWatch(QSplashScreen *splash) : QObject(splash), m_splash(splash)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_splash) {
            // Closed, not just unmapped by the window manager for a while.
            if (event->type() == QEvent::Hide && m_splash->isHidden())
                qApp->removeEventFilter(this);
        } else if (event->type() == QEvent::Show && watched->isWidgetType()) {
            const auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && (widget->isModal() || widget->windowType() == Qt::Dialog))
                m_splash->close();
        }
        return false;
    }

private:
    QSplashScreen *m_splash;
};

}

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
    new DialogWatch(m_screen);
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
