// Every test program starts here: a QApplication on the offscreen platform
// (unless the environment names another), and every folder the program
// keeps things in moved to a fresh temporary folder.

#include "ScriptedPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    const QString root = home.path();
    for (const char *sub : {"home", "data", "config", "desktop", "cache"})
        QDir().mkpath(root + "/" + sub);
    qputenv("QUILLMERE_HOME", (root + "/home").toUtf8());
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (root + "/cache").toUtf8());
    // The desktop folder is found the freedesktop way, through user-dirs.dirs.
    QFile dirs(root + "/config/user-dirs.dirs");
    if (dirs.open(QIODevice::WriteOnly))
        dirs.write(QByteArray("XDG_DESKTOP_DIR=\"") + (root + "/desktop").toUtf8() + "\"\n");
    dirs.close();
    qputenv("QMR_NO_WALLPAPER_COMMANDS", "1");

    QApplication app(argc, argv);
    ScriptedPrompts prompts;   // answers every message box and dialog
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
