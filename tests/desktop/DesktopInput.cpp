#include "DesktopInput.h"

#include "Desktop.h"

#include <QWidget>

namespace DesktopInput {

void clickAt(const QWidget *widget, QPoint point, int button, const QString &modifier)
{
    if (point == QPoint(-1, -1))
        point = widget->rect().center();
    const QPoint at = widget->mapToGlobal(point);
    // The pointer leaves the spot first: --sync waits for a move, which
    // never comes when the pointer is there already.
    QStringList args{"mousemove", "0", "0", "mousemove", "--sync", QString::number(at.x()), QString::number(at.y())};
    if (!modifier.isEmpty())
        args << "keydown" << modifier;
    args << "click" << QString::number(button);
    if (!modifier.isEmpty())
        args << "keyup" << modifier;
    Desktop::tool("xdotool", args);
}

void typeInto(QWidget *box, const QString &text)
{
    clickAt(box);
    Desktop::keys({"ctrl+a"});
    Desktop::type(text);
}

}
