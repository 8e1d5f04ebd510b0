#pragma once
// Synthesized key presses. A press is only queued: it reaches the widget
// that has the keyboard focus when the event loop next runs, after the
// caller has returned, like input typed on the keyboard.

namespace SendInput {
// Queues one press and one release of the virtual key (VirtualKeys.h).
void PressKey(int vk);
}
