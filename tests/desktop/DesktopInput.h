#pragma once
// Clicks and typing that these desktop tests share, through the X server.

#include <QPoint>
#include <QString>

class QWidget;

namespace DesktopInput {
// A click of `button` (1 left, 3 right) at a point of the widget, its centre
// when none is given, with `modifier` ("ctrl") held if one is given.
void clickAt(const QWidget *widget, QPoint point = QPoint(-1, -1), int button = 1,
             const QString &modifier = QString());
// Clicks the box, selects what it holds and types text over it.
void typeInto(QWidget *box, const QString &text);
}
