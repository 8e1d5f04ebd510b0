#include "VirtualKeys.h"

#include "X11Desktop.h"

#include <QKeyEvent>

namespace VirtualKeys {

int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (qtKey) {
    case Qt::Key_Backspace: return Back;
    case Qt::Key_Tab: return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Return;
    case Qt::Key_Shift: return Shift;
    case Qt::Key_Control: return Control;
    case Qt::Key_Alt: return Menu;
    case Qt::Key_Escape: return Escape;
    case Qt::Key_Space: return Space;
    case Qt::Key_PageUp: return Prior;
    case Qt::Key_PageDown: return Next;
    case Qt::Key_End: return End;
    case Qt::Key_Home: return Home;
    case Qt::Key_Left: return Left;
    case Qt::Key_Up: return Up;
    case Qt::Key_Right: return Right;
    case Qt::Key_Down: return Down;
    case Qt::Key_Delete: return Delete;
    case Qt::Key_F2: return F2;
    case Qt::Key_Plus: return keypad ? Add : OemPlus;
    case Qt::Key_Equal: return OemPlus;
    case Qt::Key_Minus: return keypad ? Subtract : OemMinus;
    default: break;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;                      // 'A'..'Z' share their codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

int fromEvent(const QKeyEvent *event)
{
    // Qt names the symbol the key gives with the modifiers held (Shift+minus
    // is an underscore); the key codes name the key itself. A key that types
    // a character is known by the character it types without modifiers.
    const quint32 plain = X11Desktop::plainKeysym(event->nativeScanCode());
    if (plain >= 0x20 && plain <= 0x7e)
        return fromQtKey(QChar(char16_t(plain)).toUpper().unicode(), event->modifiers());
    return fromQtKey(event->key(), event->modifiers());
}

int toQtKey(int vk)
{
    switch (vk) {
    case Back: return Qt::Key_Backspace;
    case Tab: return Qt::Key_Tab;
    case Return: return Qt::Key_Return;
    case Shift: return Qt::Key_Shift;
    case Control: return Qt::Key_Control;
    case Menu: return Qt::Key_Alt;
    case Escape: return Qt::Key_Escape;
    case Space: return Qt::Key_Space;
    case Prior: return Qt::Key_PageUp;
    case Next: return Qt::Key_PageDown;
    case End: return Qt::Key_End;
    case Home: return Qt::Key_Home;
    case Left: return Qt::Key_Left;
    case Up: return Qt::Key_Up;
    case Right: return Qt::Key_Right;
    case Down: return Qt::Key_Down;
    case Delete: return Qt::Key_Delete;
    case Add: return Qt::Key_Plus;
    case Subtract: return Qt::Key_Minus;
    case OemPlus: return Qt::Key_Equal;
    case OemMinus: return Qt::Key_Minus;
    default: break;
    }
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return vk;
    if (vk >= 112 && vk <= 135)
        return Qt::Key_F1 + (vk - 112);
    return 0;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier) state |= 1;
    if (modifiers & Qt::ControlModifier) state |= 2;
    if (modifiers & Qt::AltModifier) state |= 4;
    return state;
}

}
