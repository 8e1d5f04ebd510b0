#include "ViewerCaption.h"

#include "FileSystemObject.h"

namespace ViewerCaption {

namespace {
const QString kPictureLoadExts = QStringLiteral("ico cur dib");
const QString kStatusPictureExts = QStringLiteral("ico dib");
}

QString forPath(const QString &path)
{
    return FSO().GetFileName(path) + QStringLiteral("- Quillmere ")
        + QString::number(QMR_VERSION_MAJOR) + QLatin1Char('.') + QString::number(QMR_VERSION_MINOR);
}

bool isPictureLoaded(const QString &path)
{
    return kPictureLoadExts.contains(FSO().GetExtensionName(path).toLower());
}

bool isStatusFromFile(const QString &path)
{
    return kStatusPictureExts.contains(FSO().GetExtensionName(path).toLower());
}

}
