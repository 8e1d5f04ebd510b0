#include "ColorButton.h"

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent)
{
    setBackColor(palette().color(QPalette::Button));
}

void ColorButton::setBackColor(const QColor &colour)
{
    m_backColor = colour;
    QPalette p = palette();
    p.setColor(QPalette::Button, colour);
    setPalette(p);
    // A style sheet of its own, so that a skin on the window cannot paint over the value.
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }").arg(colour.name()));
}
