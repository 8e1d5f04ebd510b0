#pragma once
// The rules by which the viewer moves through its list of image paths.
// Lists are 0-based; an empty path stands for no file.

#include <QStringList>
#include <optional>

namespace ImageListRules {
// One past the end becomes 0, and -1 becomes the last index; an index
// further outside is returned unchanged.
int wrap(int index, int count);
// The index that a step to the next entry asks to show, or nothing when the
// shown entry is the last one. One empty entry is stepped over, which may
// give one past the end (the wrap then shows the first entry).
std::optional<int> nextStep(const QStringList &files, int index);
// The same towards the front; may give -1 (the wrap then shows the last).
std::optional<int> previousStep(const QStringList &files, int index);
// The list without the entry at index (unchanged when index is outside).
QStringList without(const QStringList &files, int index);
}
