#pragma once
// The texts of the viewer's status bar panels.

#include <QString>

namespace StatusText {
// "3/40": the 1-based position and the number of entries.
QString position(int index, int count);
// "512 Bytes", "1.5 KB", "1. KB", "5.5 MB", with the locale's decimal separator.
QString FormatFileSize(float bytes);
// "800x600x24b JPG".
QString dimensions(int width, int height, int bitsPerPixel, const QString &extension);
// The zoom in whole percent and " %"; a zoom that rounds to 0 % gives no digit.
QString zoom(double factor);
// A number written with the pattern "#.#": the whole part without leading
// zeros, the separator always, one decimal only when it is not 0.
QString oneDecimal(double value, const QString &separator);
}
