#pragma once
// The folders the program uses. Everything it keeps (the registry, the
// Windows directory) lies in its data folder, which the environment
// variable QUILLMERE_HOME moves.

#include <QString>

namespace AppPaths {
// QUILLMERE_HOME, or "Quillmere" in the user's data folder. No trailing "/".
QString dataFolder();
// The folder where wallpaper copies are kept, created on first use; ends with "/".
QString windowsFolder();
// The executable's folder (QMR_PROGRAM_DIR overrides it for tests run from
// another folder). No trailing "/".
QString programFolder();
// The user's desktop folder, no trailing "/".
QString desktopFolder();
}
