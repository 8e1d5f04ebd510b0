#include "GenericContainer.h"

#include "ScreenMetrics.h"

GenericContainer::GenericContainer(QWidget *parent) : QFrame(parent) {}

void GenericContainer::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit Resize(FormGeometry::controlWidth(this), FormGeometry::controlHeight(this));
}
