#include "Wallpaper.h"

#include "DesktopLog.h"
#include "Registry.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Wallpaper {

namespace {

const QString kDesktopKey = QStringLiteral("Control Panel\\Desktop");

bool record(const QString &path)
{
    HKEY key = 0;
    if (Registry::createKey(HKEY_CURRENT_USER, kDesktopKey, Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
        return false;
    const QByteArray bytes = path.toUtf8();
    const long result = Registry::setValue(key, QStringLiteral("Wallpaper"), Registry::REG_SZ, bytes.constData(),
                                           std::uint32_t(bytes.size()));
    Registry::closeKey(key);
    return result == Registry::Success;
}

bool have(const QString &program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

void run(const QString &program, const QStringList &args)
{
    if (have(program) && !QProcess::startDetached(program, args))
        qCWarning(lcDesktop, "Cannot start %s", qUtf8Printable(program));
}

// Asks the desktop that runs now to show the picture; errors are ignored.
void askDesktop(const QString &path)
{
    if (!qEnvironmentVariableIsEmpty("QMR_NO_WALLPAPER_COMMANDS"))
        return;
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    const QString uri = QUrl::fromLocalFile(path).toString();
    if (desktop.contains("CINNAMON")) {
        run("gsettings", {"set", "org.cinnamon.desktop.background", "picture-uri", uri});
    } else if (desktop.contains("MATE")) {
        run("gsettings", {"set", "org.mate.background", "picture-filename", path});
    } else if (desktop.contains("GNOME") || desktop.contains("UNITY") || desktop.contains("BUDGIE")) {
        run("gsettings", {"set", "org.gnome.desktop.background", "picture-uri", uri});
        run("gsettings", {"set", "org.gnome.desktop.background", "picture-uri-dark", uri});
    } else if (desktop.contains("XFCE")) {
        QProcess list;
        list.start("xfconf-query", {"-c", "xfce4-desktop", "-l"});
        if (list.waitForFinished(3000)) {
            const QStringList properties = QString::fromUtf8(list.readAllStandardOutput()).split('\n');
            for (const QString &property : properties)
                if (property.endsWith("/last-image"))
                    run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", path});
        }
    } else if (desktop.contains("KDE")) {
        // The address goes into a quoted text of the script: quotes and
        // backslashes in the file name are written as %-escapes.
        const QString quotedUri = QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded())
                                      .replace(QLatin1Char('\''), QLatin1String("%27"))
                                      .replace(QLatin1Char('\\'), QLatin1String("%5C"));
        const QString script = QStringLiteral(
            "desktops().forEach(function(d){d.wallpaperPlugin='org.kde.image';"
            "d.currentConfigGroup=['Wallpaper','org.kde.image','General'];"
            "d.writeConfig('Image','%1');});").arg(quotedUri);
        run("qdbus", {"org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript", script});
    } else if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        run("feh", {"--bg-scale", path});
    }
}

}

bool SystemParametersInfo(unsigned action, unsigned, const QString &path, unsigned flags)
{
    if (action != SPI_SETDESKWALLPAPER)
        return false;
    const bool recorded = (flags & SPIF_UPDATEINIFILE) ? record(path) : true;
    if (!recorded)
        qCWarning(lcDesktop, "Cannot record the wallpaper %s in the store", qUtf8Printable(path));
    askDesktop(path);
    return recorded;
}

QString current()
{
    HKEY key = 0;
    if (Registry::openKey(HKEY_CURRENT_USER, kDesktopKey, Registry::KEY_READ, &key) != Registry::Success)
        return QString();
    char buffer[4096];
    std::uint32_t size = sizeof(buffer);
    std::uint32_t type = 0;
    QString path;
    if (Registry::queryValue(key, QStringLiteral("Wallpaper"), &type, buffer, &size) == Registry::Success)
        path = QString::fromUtf8(buffer, int(size)).section(QChar(0), 0, 0);
    Registry::closeKey(key);
    return path;
}

}
