#include "Desktop.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

namespace Desktop {

namespace {

QString windowId(const QWidget *window)
{
    return QString::number(window->window()->winId());
}

// _NET_FRAME_EXTENTS as left, right, top, bottom; empty before the window
// manager has framed the window.
QList<int> frameExtents(const QString &id)
{
    const QString out = tool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"});
    QList<int> extents;
    const QRegularExpression number("(\\d+)");
    auto it = number.globalMatch(out.section('=', 1));
    while (it.hasNext())
        extents << it.next().captured(1).toInt();
    return extents.size() == 4 ? extents : QList<int>();
}

int field(const QString &text, const QString &name)
{
    const QRegularExpression re(QRegularExpression::escape(name) + ":\\s*(-?\\d+)");
    return re.match(text).captured(1).toInt();
}

}

QString tool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool waitFramed(const QWidget *window, int timeoutMs)
{
    return QTest::qWaitFor([&] {
        return window->isVisible() && window->isActiveWindow() && !frameExtents(windowId(window)).isEmpty();
    }, timeoutMs);
}

QRect settledGeometry(const QWidget *window, int timeoutMs)
{
    QRect last = outerGeometry(window);
    int steady = 0;
    (void)QTest::qWaitFor([&] {
        QTest::qWait(40);
        const QRect now = outerGeometry(window);
        steady = now == last ? steady + 1 : 0;
        last = now;
        return steady >= 3;
    }, timeoutMs);
    return last;
}

void keys(const QStringList &combos)
{
    tool("xdotool", QStringList{"key", "--delay", "30"} + combos);
}

void type(const QString &text)
{
    tool("xdotool", {"type", "--delay", "10", text});
}

void clickAt(const QWidget *widget, QPoint point, int button, const QString &modifier)
{
    if (point == QPoint(-1, -1))
        point = widget->rect().center();
    const QPoint at = widget->mapToGlobal(point);
    // The pointer leaves the spot first: --sync waits for a move, which
    // never comes when the pointer is there already.
    QStringList args{"mousemove", "0", "0", "mousemove", "--sync", QString::number(at.x()), QString::number(at.y())};
    if (!modifier.isEmpty())
        args << "keydown" << modifier;
    args << "click" << QString::number(button);
    if (!modifier.isEmpty())
        args << "keyup" << modifier;
    tool("xdotool", args);
}

void typeInto(QWidget *box, const QString &text)
{
    clickAt(box);
    keys({"ctrl+a"});
    type(text);
}

QRect outerGeometry(const QWidget *window)
{
    return outerGeometry(windowId(window));
}

QRect outerGeometry(const QString &id)
{
    const QString info = tool("xwininfo", {"-id", id});
    QRect client(field(info, "Absolute upper-left X"), field(info, "Absolute upper-left Y"),
                 field(info, "Width"), field(info, "Height"));
    const QList<int> frame = frameExtents(id);
    if (frame.isEmpty())
        return client;
    return client.adjusted(-frame[0], -frame[2], frame[1], frame[3]);
}

QString title(const QWidget *window)
{
    return title(windowId(window));
}

QString title(const QString &id)
{
    const QString out = tool("xprop", {"-id", id, "_NET_WM_NAME"});
    const QRegularExpression quoted("= \"(.*)\"\\s*$");
    return quoted.match(out).captured(1);
}

ModalScript::ModalScript() : m_timer(new QTimer)
{
    QObject::connect(m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer->start(30);
}

ModalScript::~ModalScript()
{
    delete m_timer;
}

void ModalScript::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || !modal->isActiveWindow())
        return;
    m_last = modal;
    if (m_acts.empty()) {
        QStringList texts{modal->windowTitle()};
        for (const QLabel *label : modal->findChildren<QLabel *>())
            texts << label->text();
        unexpected << texts.join(' ');
        keys({"Escape"});
    } else {
        const auto act = std::move(m_acts.front());
        m_acts.pop_front();
        act(modal);
    }
}

}
