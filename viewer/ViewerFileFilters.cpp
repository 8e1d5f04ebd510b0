#include "ViewerFileFilters.h"

#include <QStringList>

namespace ViewerFileFilters {

QString openFilter()
{
    const QStringList entries = {
        QStringLiteral("All Images"),
        QStringLiteral("*.jpg;*.jpeg;*.gif;*.bmp;*.dib;*.png;*.psd;*.tif;*.pcx;*.tga;*.wbmp;*.wmf;*.ico;*.cur;*.emf;*.tla"),
        QStringLiteral("Joint Photographic Experts Group  <JPG,JPEG>"), QStringLiteral("*.jpg;*.jpeg"),
        QStringLiteral("Graphics Interchange Format  <GIF>"), QStringLiteral("*.gif"),
        QStringLiteral("Windows Bitmap  <BMP,DIB>"), QStringLiteral("*.bmp;*.dib"),
        QStringLiteral("Portable Network Graphics  <PNG>"), QStringLiteral("*.png"),
        QStringLiteral("Photoshop  <PSD>"), QStringLiteral("*.psd"),
        QStringLiteral("Tagged Image File  <TIF>"), QStringLiteral("*.tif"),
        QStringLiteral("ZSoft PaintBrush  <PCX>"), QStringLiteral("*.pcx"),
        QStringLiteral("Truevision Targa  <TGA>"), QStringLiteral("*.tga"),
        QStringLiteral("Wireless Bitmap  <WBMP>"), QStringLiteral("*.wbmp"),
        QStringLiteral("Windows Meta File  <WMF>"), QStringLiteral("*.wmf"),
        QStringLiteral("ICO Files  <ICO>"), QStringLiteral("*.ICO"),
        QStringLiteral("Windows Enhanced Meta File <EMF>"), QStringLiteral("*.emf"),
        QStringLiteral("All Files"), QStringLiteral("*.*")};
    return entries.join(QLatin1Char('|'));
}

QString saveFilter()
{
    const QStringList entries = {
        QStringLiteral("Joint Photographic Experts Group  <JPG>"), QStringLiteral("*.jpg"),
        QStringLiteral("Portable Network Graphics  <PNG>"), QStringLiteral("*.png"),
        QStringLiteral("Photoshop  <PSD>"), QStringLiteral("*.psd"),
        QStringLiteral("Tagged Image File  <TIF>"), QStringLiteral("*.tif"),
        QStringLiteral("ZSoft PaintBrush  <PCX>"), QStringLiteral("*.pcx"),
        QStringLiteral("Truevision Targa  <TGA>"), QStringLiteral("*.tga"),
        QStringLiteral("Wireless Bitmap  <WBMP>"), QStringLiteral("*.wbmp"),
        QStringLiteral("Windows Bitmap  <BMP>"), QStringLiteral("*.bmp"),
        QStringLiteral("Windows Metafile  <WMF>"), QStringLiteral("*.wmf"),
        QStringLiteral("Windows Enhanced Metafile  <EMF>"), QStringLiteral("*.emf")};
    return entries.join(QLatin1Char('|'));
}

std::optional<int> savePresetIndex(int formatCode)
{
    // Format codes 1..10 (JPG PNG TIF PCX TGA BMP WMF EMF PSD WBMP) to filter indexes.
    static const int kIndexOfCode[] = {1, 2, 4, 5, 6, 8, 9, 10, 3, 7};
    if (formatCode < 1 || formatCode > 10)
        return std::nullopt;
    return kIndexOfCode[formatCode - 1];
}

}
