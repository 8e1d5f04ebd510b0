#pragma once
// What the program asks of an X11 window manager directly, where Qt has no
// call for it. Every function does nothing (or answers nothing) on Qt's
// other platforms (Wayland, offscreen) and when no window manager runs.

#include <QByteArray>
#include <QMargins>
#include <QWidget>
#include <optional>

namespace X11Desktop {

// True when the program runs on an X server.
bool available();

// The frame the window manager says it puts around the window
// (_NET_FRAME_EXTENTS), asked for afresh: the answer comes from the window
// manager, also for a window that it has not framed yet. Nothing when it
// does not answer within timeoutMs or does not offer the request.
std::optional<QMargins> askFrameExtents(WId window, int timeoutMs = 300);

// The symbol that a key (its X key code) gives without Shift or any other
// modifier in the first layout: what is printed first on the key. 0 when
// not known.
quint32 plainKeysym(quint32 keycode);

// Takes the full-screen state out of a hidden window's _NET_WM_STATE. The
// window manager takes that property away only some time after the window
// was hidden, and Qt, when it shows the window again, keeps the states it
// finds there: the window would come back in full screen.
void dropFullScreenState(WId window);

// Sets the title the window manager shows exactly as given, an empty one
// included (Qt shows the program's name instead of an empty title).
void setTitle(WId window, const QByteArray &utf8);

}
