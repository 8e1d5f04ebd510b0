#pragma once
// Real input and real measurements on the X desktop that desktop tests run
// on: keys and clicks go through the X server (xdotool), and what the user
// sees (the window with its frame, the title the window manager shows) is
// read back from the X server, not from Qt. Failure messages print Qt's
// strings, rectangles and sizes readably (QtPrinters.h).

#include "QtPrinters.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class QTimer;
class QWidget;

namespace Desktop {

// Runs an X tool and returns its standard output; the event loop runs
// meanwhile, so the program sees the tool's effects as they happen.
QString tool(const QString &program, const QStringList &arguments, int timeoutMs = 10000);

// Waits until the window manager has framed the window and made it active.
bool waitFramed(const QWidget *window, int timeoutMs = 5000);
// Waits until the window's outer geometry stops changing.
QRect settledGeometry(const QWidget *window, int timeoutMs = 5000);

// Key presses as xdotool names them ("f", "shift+minus", "Return"), sent to
// whichever window has the focus.
void keys(const QStringList &combos);
void type(const QString &text);
// A click of `button` (1 left, 3 right) at a point of the widget, its centre
// when none is given, with `modifier` ("ctrl") held if one is given.
void clickAt(const QWidget *widget, QPoint point = QPoint(-1, -1), int button = 1,
             const QString &modifier = QString());
// Clicks the box, selects what it holds and types text over it.
void typeInto(QWidget *box, const QString &text);

// The window as the user sees it: its client area grown by the frame the
// window manager reports.
QRect outerGeometry(const QWidget *window);
// The title the window manager shows.
QString title(const QWidget *window);
// The same for any window on the screen, another program's too, by its X
// window id (decimal or 0x hexadecimal).
QRect outerGeometry(const QString &windowId);
QString title(const QString &windowId);

// Answers the modal windows that the program shows and waits on: each new
// one, once active, gets the next queued act. A modal window that no act
// was queued for is recorded and closed with Escape, so a test never hangs.
// A modal window that an act brings up (a confirmation) is answered too.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    void then(std::function<void(QWidget *)> act) { m_acts.push_back(std::move(act)); }
    // Title and text of every modal window closed unanswered.
    QStringList unexpected;

private:
    void poll();
    std::deque<std::function<void(QWidget *)>> m_acts;
    QTimer *m_timer;
    QPointer<QWidget> m_last;
};

}
