#include "TwipsGeometry.h"

#include "ScreenMetrics.h"

#include <QWidget>

namespace TwipsGeometry {

void place(QWidget *control, double left, double top, double width, double height)
{
    control->setGeometry(FormGeometry::toPixelsX(left), FormGeometry::toPixelsY(top),
                         FormGeometry::toPixelsX(width), FormGeometry::toPixelsY(height));
}

void setFixedClientSize(QWidget *form, double width, double height)
{
    form->setFixedSize(FormGeometry::toPixelsX(width), FormGeometry::toPixelsY(height));
}

double top(const QWidget *control) { return control->y() * ScreenMetrics::twipsPerPixelY(); }
double height(const QWidget *control) { return control->height() * ScreenMetrics::twipsPerPixelY(); }

}
