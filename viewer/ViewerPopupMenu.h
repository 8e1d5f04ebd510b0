#pragma once
// The popup menu of the viewer's image, built anew for each right click.
// Each entry carries its command id (QAction::data()): 10 Full Screen,
// 7 Next, 8 Previous, 9 Slide Show, 1 Antialias Display, 2 Rotate +90,
// 3 Rotate -90, 4 Zoom In, 5 Zoom Out, 6 Set As Wallpaper.

#include "ViewerCommand.h"

#include <QPoint>

class QMenu;
class QWidget;

namespace ViewerPopupMenu {
// The menu with its entries; the two checkable entries show their states.
QMenu *build(bool slideShowRunning, bool antiAliasChecked, QWidget *parent);
// Where the menu opens, in screen pixels: the window's top-left corner in
// twips converted to pixels, plus the pointer's position in the control.
// The frame and the bars above the control are not added.
QPoint position(double windowLeft, double windowTop, double tppx, double tppy, float x, float y);
// The command of an entry's id; None for 0 (dismissed) and unknown ids.
ViewerCommand command(int id);
}
