#pragma once
// The viewer's commands, as its keys, popup menu and toolbar name them.

enum class ViewerCommand {
    None,
    Close,
    Browse,
    Next,
    Previous,
    DeleteFile,
    FullScreen,
    ZoomIn,
    ZoomOut,
    ScrollLeft,
    ScrollRight,
    ScrollUp,
    ScrollDown,
    SlideShow,
    AntiAlias,
    RotatePlus90,
    RotateMinus90,
    SetAsWallpaper
};
