#pragma once
// Placing a form's controls by the twips of its design.

class QWidget;

namespace TwipsGeometry {
// Moves and sizes a child control; all four values in twips.
void place(QWidget *control, double left, double top, double width, double height);
// Fixes a form's inner (client) size in twips.
void setFixedClientSize(QWidget *form, double width, double height);
// The control's top and height in twips.
double top(const QWidget *control);
double height(const QWidget *control);
}
