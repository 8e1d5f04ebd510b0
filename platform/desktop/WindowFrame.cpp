#include "WindowFrame.h"

#include "X11Desktop.h"

#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace WindowFrame {

namespace {
// Where a window keeps the frame it was last seen with.
const char *const kKnownFrame = "qmrKnownFrame";

QMargins shownFrame(const QWidget *window)
{
    if (!X11Desktop::available()) {
        const QRect outer = window->frameGeometry();
        const QRect inner = window->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    // Qt learns a window's frame only once it is shown and framed.
    if (!window->isVisible() || !window->windowHandle())
        return QMargins();
    return window->windowHandle()->frameMargins();
}
}

QMargins margins(const QWidget *window)
{
    if ((window->windowFlags() & Qt::FramelessWindowHint) || window->isFullScreen())
        return QMargins();
    const QMargins shown = shownFrame(window);
    if (!shown.isNull() || !X11Desktop::available()) {
        const_cast<QWidget *>(window)->setProperty(kKnownFrame, QVariant::fromValue(shown));
        return shown;
    }
    const QVariant known = window->property(kKnownFrame);
    if (known.isValid())
        return known.value<QMargins>();
    // Never framed yet: the window manager tells what it will put around it.
    const QMargins asked = X11Desktop::askFrameExtents(window->winId()).value_or(QMargins());
    const_cast<QWidget *>(window)->setProperty(kKnownFrame, QVariant::fromValue(asked));
    return asked;
}

}
