#pragma once
// Which command a key runs in the viewer window. Shift, Ctrl and Alt are not
// looked at, so Shift+F acts like F. Delete acts here only in full screen:
// otherwise the Edit menu's shortcut serves it. The arrow keys scroll only
// while the zoomed image is larger than the window (scroll mode 2).

#include "ViewerCommand.h"

namespace ViewerKeyTable {
ViewerCommand command(int keyCode, bool fullScreen, int scrollMode);
// How often pending events run after the key's command.
int messageRunsAfter(int keyCode);
}
