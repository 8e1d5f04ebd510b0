#include "modMain.h"

#include "AppPaths.h"
#include "FileAttributes.h"
#include "FileSystemObject.h"
#include "ImgX.h"
#include "Prompts.h"
#include "Wallpaper.h"

namespace modMain {

namespace {
constexpr int kBmpFormat = 6;
constexpr unsigned kRefusedHiddenArchive = 34;
constexpr unsigned kRefusedHiddenSystem = 6;
// Used when the image came without a file of its own (a picture).
const QString kUnnamedWallpaper = QStringLiteral("Wallpaper.bmp");
}

QString GetSpecialFolder(int CSIDL)
{
    constexpr int kDesktop = 0;
    constexpr int kDesktopDirectory = 16;
    if (CSIDL != kDesktop && CSIDL != kDesktopDirectory)
        return QString();
    const QString desktop = AppPaths::desktopFolder();
    if (desktop.isEmpty())
        return QString();
    return desktop.endsWith(QLatin1Char('/')) ? desktop : desktop + QLatin1Char('/');
}

bool IsImageFile(const QString &path)
{
    const QString ext = FSO().GetExtensionName(path).toLower();
    if (ext.isEmpty())
        return false;
    return ImageFileExtList.toLower().contains(ext);
}

QString GetWindowsDir()
{
    QString dir = AppPaths::windowsFolder();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void SetAsWallpaper(ImgX *img)
{
    if (!img || img->Pages.Count() == 0)
        return;
    QString name = FSO().GetFileName(img->ImageInfo.FilePath());
    if (name.isEmpty())
        name = kUnnamedWallpaper;
    const QString dest = GetWindowsDir() + name;
    const std::uint32_t attributes = FileAttributes::get(dest);
    if (attributes == kRefusedHiddenArchive || attributes == kRefusedHiddenSystem) {
        Prompts::MsgBox(WallpaperRefusedMessage, Prompts::OKOnly);
        return;
    }
    try {
        // The copy keeps the source's name whatever its format: photo.jpg
        // in the Windows directory holds BMP data.
        img->Export.SaveFile(dest, kBmpFormat, 0, true);
    } catch (const ImgXError &error) {
        Prompts::MsgBox(error.text(), Prompts::Critical);
        return;
    }
    Wallpaper::SystemParametersInfo(Wallpaper::SPI_SETDESKWALLPAPER, 0, dest,
                                    Wallpaper::SPIF_UPDATEINIFILE | Wallpaper::SPIF_SENDCHANGE);
}

QString GetSaveFormat(long filterIndex, long &formatCode)
{
    struct SaveFormat { const char *ext; long code; };
    static const SaveFormat table[] = {
        {"jpg", 1}, {"png", 2}, {"psd", 9}, {"tif", 3}, {"pcx", 4},
        {"tga", 5}, {"wbmp", 10}, {"bmp", 6}, {"wmf", 7}, {"emf", 8}};
    if (filterIndex < 1 || filterIndex > 10)
        return QString();
    formatCode = table[filterIndex - 1].code;
    return QString::fromLatin1(table[filterIndex - 1].ext);
}

}
