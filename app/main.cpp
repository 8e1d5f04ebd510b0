// Quillmere: a folder tree with thumbnails and a preview, and a viewer.

#include "TerminationSignals.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program ends when the main window unloads, not when its last
    // window closes: the main window hides while the viewer is on screen.
    app.setQuitOnLastWindowClosed(false);
    TerminationSignals endRequests;

    frmMain window;
    if (!window.Form_Load(QApplication::arguments().mid(1)) || window.hasEnded())
        return 0;
    int code = 0;
    if (!endRequests.received()) {
        window.show();
        window.raise();
        window.activateWindow();
        code = app.exec();
    }
    // Asked to end by a signal: the steps of closing the main window.
    if (!window.hasEnded())
        window.EndMe();
    return code;
}
