#pragma once
// The frame the window manager puts around a top-level window, so that the
// program can size and place windows by their outer bounds from the start:
// before the window is shown, and while a change of its border is still on
// its way to the window manager.

#include <QMargins>

class QWidget;

namespace WindowFrame {
// Nothing for a window without border or in full screen; otherwise the
// frame it has, or else the frame it last had with a border, or else the
// frame the window manager says it will give it.
QMargins margins(const QWidget *window);
}
