#pragma once
// Photoshop files in indexed colour (a palette and one byte a pixel), which
// ImageMagick's PSD coder here refuses.

#include "ImgXDocument.h"

#include <QByteArray>

namespace PsdIndexed {
// Whether the PSD header says indexed colour.
bool isIndexed(const QByteArray &data);
// The merged picture with its palette; the colour the file marks as
// transparent, if any, has alpha 0. Throws ImgXError.
QImage decode(const QByteArray &data);
}
