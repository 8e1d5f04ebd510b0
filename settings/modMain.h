#pragma once
// Shell helpers that several windows share.

#include <QString>

class ImgX;

namespace modMain {

// The fifteen types a dropped file may have.
inline const QString ImageFileExtList = QStringLiteral("JPG GIF BMP PNG PSD TIF PCX TGA WBMP PCD WMF EMF ICO CUR DIB");
inline const QString WallpaperRefusedMessage =
    QStringLiteral("this picture is hidden or system file.we can not put it as wallpaper");

// The folder's path followed by "/"; "" when there is no such folder.
// Folder 0 is the user's desktop.
QString GetSpecialFolder(int CSIDL);
// Whether the file's extension is found in ImageFileExtList (a substring
// test on the lower-cased extension; no extension fails).
bool IsImageFile(const QString &path);
// Makes the control's current image the desktop wallpaper through a BMP
// copy in the Windows directory.
void SetAsWallpaper(ImgX *img);
// The Windows directory followed by exactly one "/".
QString GetWindowsDir();
// For a save filter index 1 to 10: the default extension, and the format
// code written into formatCode; "" and formatCode unchanged otherwise.
QString GetSaveFormat(long filterIndex, long &formatCode);

}
