#pragma once
// Header fields that other readers pass over but Qt's readers refuse a
// file for, set to what the pixels themselves say.

#include <QByteArray>

namespace LenientHeaders {
// The bytes of a file of the given ImgXFormat with a BMP's planes count
// set to 1 (there is only ever one plane), and an icon or cursor entry
// that holds a whole PNG given the PNG's own length in the directory.
// Anything else comes back as it was; what really lacks pixels stays so.
QByteArray repaired(const QByteArray &data, int format);
}
