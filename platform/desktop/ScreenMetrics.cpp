#include "ScreenMetrics.h"

#include "WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace ScreenMetrics {

namespace {
QScreen *screen() { return QGuiApplication::primaryScreen(); }
double dpiX() { return screen() ? screen()->logicalDotsPerInchX() : 96.0; }
double dpiY() { return screen() ? screen()->logicalDotsPerInchY() : 96.0; }
}

double twipsPerPixelX() { return 1440.0 / dpiX(); }
double twipsPerPixelY() { return 1440.0 / dpiY(); }
double screenWidthTwips() { return (screen() ? screen()->geometry().width() : 1024) * twipsPerPixelX(); }
double screenHeightTwips() { return (screen() ? screen()->geometry().height() : 768) * twipsPerPixelY(); }

}

namespace FormGeometry {

using ScreenMetrics::twipsPerPixelX;
using ScreenMetrics::twipsPerPixelY;

int toPixelsX(double twips) { return int(std::lround(twips / twipsPerPixelX())); }
int toPixelsY(double twips) { return int(std::lround(twips / twipsPerPixelY())); }

// Outer bounds are the window's own (inner) geometry grown by the frame the
// window manager puts around it, which is known even before the window is
// shown (see WindowFrame); a window is placed by its inner position.
static QRect outer(const QWidget *w)
{
    return w->geometry().marginsAdded(WindowFrame::margins(w));
}

double left(const QWidget *w) { return outer(w).x() * twipsPerPixelX(); }
double top(const QWidget *w) { return outer(w).y() * twipsPerPixelY(); }
double width(const QWidget *w) { return outer(w).width() * twipsPerPixelX(); }
double height(const QWidget *w) { return outer(w).height() * twipsPerPixelY(); }

static void setInner(QWidget *w, const QRect &inner)
{
    if (inner == w->geometry())
        return;
    // Only placed, not sized: a window not sized yet still takes its own
    // size when it is first shown.
    const bool sized = w->testAttribute(Qt::WA_Resized);
    w->setGeometry(inner);
    w->setAttribute(Qt::WA_Resized, sized);
}

void setLeft(QWidget *w, double twips)
{
    QRect inner = w->geometry();
    inner.moveLeft(toPixelsX(twips) + WindowFrame::margins(w).left());
    setInner(w, inner);
}

void setTop(QWidget *w, double twips)
{
    QRect inner = w->geometry();
    inner.moveTop(toPixelsY(twips) + WindowFrame::margins(w).top());
    setInner(w, inner);
}

void setWidth(QWidget *w, double twips)
{
    const QMargins frame = WindowFrame::margins(w);
    w->resize(qMax(1, toPixelsX(twips) - frame.left() - frame.right()), w->height());
}

void setHeight(QWidget *w, double twips)
{
    const QMargins frame = WindowFrame::margins(w);
    w->resize(w->width(), qMax(1, toPixelsY(twips) - frame.top() - frame.bottom()));
}

double controlWidth(const QWidget *w) { return w->width() * twipsPerPixelX(); }
double controlHeight(const QWidget *w) { return w->height() * twipsPerPixelY(); }
void setControlWidth(QWidget *w, double twips) { w->resize(qMax(0, toPixelsX(twips)), w->height()); }
void setControlHeight(QWidget *w, double twips) { w->resize(w->width(), qMax(0, toPixelsY(twips))); }

}
