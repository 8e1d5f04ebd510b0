#pragma once
// What the viewer window needs of the main window behind it. The main
// window registers itself at start-up; the viewer never includes it.

#include <QString>

class ViewerHost {
public:
    virtual ~ViewerHost() = default;
    // Shows the main window (modeless).
    virtual void ShowMainWindow() = 0;
    // Moves the tree and the browser to the file's folder when they show another one.
    virtual void CheckPath(const QString &path) = 0;
    // Passes a file operation on to the browser: newPath "" means the file is gone.
    virtual void RefreshImages(const QString &oldPath, const QString &newPath) = 0;
    // Unloads the main window's other windows and ends the program.
    virtual void EndProgram() = 0;

    static ViewerHost *instance();
    static void setInstance(ViewerHost *host);
};
