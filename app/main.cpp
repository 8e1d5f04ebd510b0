// Quillmere: a folder tree with thumbnails and a preview, and a viewer.

#include "CommandLine.h"
#include "Prompts.h"
#include "TerminalPrompts.h"
#include "TerminationSignals.h"
#include "frmMain.h"

#include <QApplication>

namespace {

bool isSwitch(const QStringList &arguments)
{
    return CommandLine::switchOf(CommandLine::join(arguments)) != CommandLine::Switch::None;
}

// The association switches change files and the store and need no window:
// without a display they run off screen rather than abort. A display that
// is named but cannot be reached falls back the same way.
void runSwitchesWithoutDisplay(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!isSwitch(arguments) || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb;offscreen");
}

bool hasScreen()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}

int main(int argc, char *argv[])
{
    runSwitchesWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    // The program ends when the main window unloads, not when its last
    // window closes: the main window hides while the viewer is on screen.
    app.setQuitOnLastWindowClosed(false);
    // Where nobody sees a window, messages go to standard error.
    TerminalPrompts terminal;
    if (!hasScreen())
        Prompts::setHandler(&terminal);
    TerminationSignals endRequests;

    const QStringList arguments = QApplication::arguments().mid(1);
    frmMain window;
    if (!window.Form_Load(arguments) || window.hasEnded()) {
        // A switch tells whether it did its work.
        return isSwitch(arguments) && !window.associationDone() ? 1 : 0;
    }
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
