#include "TestHome.h"

#include <QDir>
#include <QFile>

TestHome::TestHome()
{
    const QString root = m_root.path();
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
}
