#include "SendInput.h"

#include "VirtualKeys.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Carries one queued key transition until the event loop delivers it.
class QueuedKeyEvent : public QEvent {
public:
    static QEvent::Type eventType()
    {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    QueuedKeyEvent(int vk, bool press) : QEvent(eventType()), vk(vk), press(press) {}
    const int vk;
    const bool press;
};

// Hands queued keys to whichever widget has the focus at delivery time.
class KeyDispatcher : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent *e) override
    {
        if (e->type() != QueuedKeyEvent::eventType())
            return QObject::event(e);
        const auto *queued = static_cast<QueuedKeyEvent *>(e);
        QWidget *target = QApplication::focusWidget();
        if (target) {
            QKeyEvent key(queued->press ? QEvent::KeyPress : QEvent::KeyRelease,
                          VirtualKeys::toQtKey(queued->vk), QGuiApplication::queryKeyboardModifiers());
            QApplication::sendEvent(target, &key);
        }
        return true;
    }
};

// Lives as long as the application object that owns it.
KeyDispatcher *dispatcher()
{
    static QPointer<KeyDispatcher> instance;
    if (!instance)
        instance = new KeyDispatcher(QCoreApplication::instance());
    return instance;
}

}

namespace SendInput {

void PressKey(int vk)
{
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::postEvent(dispatcher(), new QueuedKeyEvent(vk, true));
    QCoreApplication::postEvent(dispatcher(), new QueuedKeyEvent(vk, false));
}

}
