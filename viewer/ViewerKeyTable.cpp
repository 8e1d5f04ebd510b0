#include "ViewerKeyTable.h"

#include "VirtualKeys.h"

namespace ViewerKeyTable {

namespace {
constexpr int kKeyF = 70;
constexpr int kScrollable = 2;

ViewerCommand scrollCommand(int keyCode)
{
    switch (keyCode) {
    case VirtualKeys::Left: return ViewerCommand::ScrollLeft;
    case VirtualKeys::Right: return ViewerCommand::ScrollRight;
    case VirtualKeys::Up: return ViewerCommand::ScrollUp;
    case VirtualKeys::Down: return ViewerCommand::ScrollDown;
    default: return ViewerCommand::None;
    }
}
}

ViewerCommand command(int keyCode, bool fullScreen, int scrollMode)
{
    switch (keyCode) {
    case VirtualKeys::Escape: return ViewerCommand::Close;
    case VirtualKeys::Return: return ViewerCommand::Browse;
    case VirtualKeys::Space:
    case VirtualKeys::Next: return ViewerCommand::Next;
    case VirtualKeys::Back:
    case VirtualKeys::Prior: return ViewerCommand::Previous;
    case VirtualKeys::Delete: return fullScreen ? ViewerCommand::DeleteFile : ViewerCommand::None;
    case kKeyF: return ViewerCommand::FullScreen;
    case VirtualKeys::Add:
    case VirtualKeys::OemPlus: return ViewerCommand::ZoomIn;
    case VirtualKeys::Subtract:
    case VirtualKeys::OemMinus: return ViewerCommand::ZoomOut;
    default: break;
    }
    return scrollMode == kScrollable ? scrollCommand(keyCode) : ViewerCommand::None;
}

int messageRunsAfter(int keyCode)
{
    switch (keyCode) {
    case VirtualKeys::Space:
    case VirtualKeys::Next: return 8;
    case VirtualKeys::Back:
    case VirtualKeys::Prior: return 2;
    default: return 0;
    }
}

}
