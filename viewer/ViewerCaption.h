#pragma once
// How the viewer names what it shows.

#include <QString>

namespace ViewerCaption {
// The window title for a shown file: its name, then "- Quillmere " and the
// version ("sunset.jpg- Quillmere 1.6").
QString forPath(const QString &path);
// Whether the file goes through the picture loader (icons, cursors, DIBs)
// rather than the imaging component's own file loader. A file without an
// extension counts as a picture, as does any fragment of "ico cur dib".
bool isPictureLoaded(const QString &path);
// Whether the status bar describes the file itself rather than the decoded
// image (icons and DIBs; again a substring test).
bool isStatusFromFile(const QString &path);
}
