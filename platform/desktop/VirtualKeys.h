#pragma once
// Key codes as the program's key tables number them, taken from Qt's key
// events.

#include <Qt>

class QKeyEvent;

namespace VirtualKeys {
enum : int {
    Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18,
    Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36,
    Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46,
    F2 = 113, Add = 107, Subtract = 109, OemPlus = 187, OemMinus = 189
};
// The virtual-key code of a Qt key (letters and digits as their upper-case
// character code); 0 for keys without one.
int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The virtual-key code of the key pressed, the same with or without Shift,
// Ctrl or Alt held (Shift+minus is the minus key).
int fromEvent(const QKeyEvent *event);
// The Qt key that a virtual-key code stands for (for synthesized presses).
int toQtKey(int vk);
// Shift state bits: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);
}
