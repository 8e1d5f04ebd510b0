#include "ScreenMetrics.h"

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

// The frame's extra size: what the window manager adds around the client area.
static QSize frameExtra(const QWidget *w)
{
    const QRect frame = w->frameGeometry();
    const QRect inner = w->geometry();
    return QSize(qMax(0, frame.width() - inner.width()), qMax(0, frame.height() - inner.height()));
}

double left(const QWidget *w) { return w->frameGeometry().x() * twipsPerPixelX(); }
double top(const QWidget *w) { return w->frameGeometry().y() * twipsPerPixelY(); }
double width(const QWidget *w) { return w->frameGeometry().width() * twipsPerPixelX(); }
double height(const QWidget *w) { return w->frameGeometry().height() * twipsPerPixelY(); }
double innerWidth(const QWidget *w) { return w->width() * twipsPerPixelX(); }
double innerHeight(const QWidget *w) { return w->height() * twipsPerPixelY(); }

void setLeft(QWidget *w, double twips) { w->move(toPixelsX(twips), w->frameGeometry().y()); }
void setTop(QWidget *w, double twips) { w->move(w->frameGeometry().x(), toPixelsY(twips)); }

void setWidth(QWidget *w, double twips)
{
    w->resize(qMax(1, toPixelsX(twips) - frameExtra(w).width()), w->height());
}

void setHeight(QWidget *w, double twips)
{
    w->resize(w->width(), qMax(1, toPixelsY(twips) - frameExtra(w).height()));
}

double controlWidth(const QWidget *w) { return w->width() * twipsPerPixelX(); }
double controlHeight(const QWidget *w) { return w->height() * twipsPerPixelY(); }
void setControlWidth(QWidget *w, double twips) { w->resize(qMax(0, toPixelsX(twips)), w->height()); }
void setControlHeight(QWidget *w, double twips) { w->resize(w->width(), qMax(0, toPixelsY(twips))); }

}
