#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

namespace {
QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}
}

QString dataFolder()
{
    const QString home = qEnvironmentVariable("QUILLMERE_HOME");
    if (!home.isEmpty())
        return withoutTrailingSlash(home);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quillmere");
}

QString windowsFolder()
{
    const QString folder = dataFolder() + QStringLiteral("/Windows");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/');
}

QString programFolder()
{
    const QString overridden = qEnvironmentVariable("QMR_PROGRAM_DIR");
    if (!overridden.isEmpty())
        return withoutTrailingSlash(overridden);
    return withoutTrailingSlash(QCoreApplication::applicationDirPath());
}

QString desktopFolder()
{
    return withoutTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

}
