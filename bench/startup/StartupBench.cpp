// Measures how the program copes with a store another program holds and
// with a request to end while it is busy:
//   qmr_startupbench [--pcx 7360x4912] [--term-after 1500] [--program PATH]
// Locked store: the start-up (up to where the main window shows) with the
// store's rollback journal held whole by another connection, the user
// choosing at once to run without saving; and the same start with the
// store free, for comparison.
// SIGTERM: the program started on a big PCX, which it decodes on its
// interface thread, is sent SIGTERM a moment into the decode; the time
// until it is gone.

#include "ImgXDocument.h"
#include "Prompts.h"
#include "Registry.h"
#include "frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>

namespace {

// Answers every message box at once with Yes (run without saving).
class InstantAnswers : public Prompts::Handler {
public:
    QElapsedTimer *clock = nullptr;
    qint64 askedAt = -1;
    int messageBox(const Prompts::MessageRequest &) override
    {
        askedAt = clock->elapsed();
        return Prompts::Yes;
    }
    std::optional<QString> inputBox(const Prompts::InputRequest &) override { return std::nullopt; }
    Prompts::FileDialogResult fileDialog(const Prompts::FileDialogRequest &) override { return {}; }
    std::optional<QColor> chooseColor(const QColor &) override { return std::nullopt; }
    int execDialog(QDialog *) override { return QDialog::Rejected; }
};

qint64 timedStart(InstantAnswers &answers)
{
    QElapsedTimer clock;
    answers.clock = &clock;
    answers.askedAt = -1;
    clock.start();
    frmMain window;
    window.Form_Load({});
    return clock.elapsed();
}

void lockedStore()
{
    InstantAnswers answers;
    Prompts::setHandler(&answers);
    timedStart(answers);     // the first run registers everything
    const qint64 free = timedStart(answers);

    const QString path = Registry::databasePath();
    Registry::setDatabasePath(path);     // lets the journal mode change
    sqlite3 *holder = nullptr;
    sqlite3_open(path.toUtf8().constData(), &holder);
    if (sqlite3_exec(holder, "PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::printf("could not lock %s\n", qPrintable(path));
        return;
    }
    const qint64 locked = timedStart(answers);
    std::printf("locked store: asked after %lld ms, main window after %lld ms (store free: %lld ms; target "
                "within 3000 ms)\n",
                qlonglong(answers.askedAt), qlonglong(locked), qlonglong(free));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    Prompts::setHandler(nullptr);
}

// A 24-bit PCX of noise, every byte below 0xC0 so that each is stored as
// itself: no run to shorten the decode.
bool writePcx(const QString &path, QSize size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int width = size.width() & ~1;
    QByteArray header(128, '\0');
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    const auto put16 = [&header](int at, int value) {
        header[at] = char(value & 0xff);
        header[at + 1] = char(value >> 8);
    };
    put16(8, width - 1);
    put16(10, size.height() - 1);
    put16(12, 72);
    put16(14, 72);
    header[65] = 3;
    put16(66, width);
    put16(68, 1);
    file.write(header);
    QByteArray row(width * 3, '\0');
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        for (char &byte : row)
            byte = char(random.bounded(0xC0));
        if (file.write(row) != row.size())
            return false;
    }
    return true;
}

void sigtermDuringDecode(const QString &program, const QString &folder, QSize size, int termAfterMs)
{
    const QString picture = folder + "/big.pcx";
    if (!writePcx(picture, size)) {
        std::printf("could not write %s\n", qPrintable(picture));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    try {
        ImgXDocument document;
        document.Loader.LoadFromFile(picture);
        std::printf("the %dx%d PCX alone decodes in %lld ms\n", size.width(), size.height(),
                    qlonglong(clock.elapsed()));
    } catch (const std::exception &error) {
        std::printf("the %dx%d PCX alone: %s after %lld ms\n", size.width(), size.height(), error.what(),
                    qlonglong(clock.elapsed()));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char *var : {"QUILLMERE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(var, folder + "/home");
    QProcess qmr;
    qmr.setProcessEnvironment(env);
    qmr.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    qmr.start(program, {"/Associate"});     // so that the start below has nothing to write
    qmr.waitForFinished(30000);
    qmr.start(program, {picture});
    if (!qmr.waitForStarted(10000)) {
        std::printf("could not start %s\n", qPrintable(program));
        return;
    }
    QThread::msleep(ulong(termAfterMs));
    clock.restart();
    ::kill(pid_t(qmr.processId()), SIGTERM);
    const bool ended = qmr.waitForFinished(60000);
    std::printf("SIGTERM %d ms into the start on the PCX: %s after %lld ms (target within 1000 ms)\n", termAfterMs,
                ended ? "gone" : "still running", qlonglong(clock.elapsed()));
    if (!ended)
        qmr.kill();
}

}

int main(int argc, char *argv[])
{
    QTemporaryDir work;
    for (const char *var : {"QUILLMERE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(var, work.path().toUtf8());
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"pcx", "Size of the PCX decoded when SIGTERM comes.", "WxH", "7360x4912"});
    parser.addOption({"term-after", "Milliseconds from the start to SIGTERM.", "ms", "1500"});
    parser.addOption({"program", "The program sent SIGTERM (another build, say).", "path",
                      QCoreApplication::applicationDirPath() + "/qmr"});
    parser.process(app);
    const QStringList size = parser.value("pcx").split('x');

    lockedStore();
    sigtermDuringDecode(parser.value("program"), work.path(),
                        QSize(size.value(0).toInt(), size.value(1).toInt()), parser.value("term-after").toInt());
    return 0;
}
