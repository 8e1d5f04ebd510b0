#pragma once
// The filters of the viewer's Open and Save As dialogs, and the save filter
// that matches the format of the image on show.

#include <QString>
#include <optional>

namespace ViewerFileFilters {
// Fourteen entries, "All Images" first and "All Files" last.
QString openFilter();
// The ten formats the viewer writes, in the order of modMain::GetSaveFormat.
QString saveFilter();
// The save filter's index for an image format code; nothing for formats
// that cannot be saved (GIF, icons, pictures).
std::optional<int> savePresetIndex(int formatCode);
}
