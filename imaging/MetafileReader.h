#pragma once
// Windows metafiles: WMF drawn by WmfPlayer, EMF through libemf2svg and Qt SVG,
// both in a helper process within the decode time limit and at the
// metafile's own frame size. A metafile that only holds one bitmap (as this component
// writes them) gives back that bitmap exactly.

#include "ImgXDocument.h"

#include <QByteArray>

namespace MetafileReader {
// Throws ImgXError.
QVector<ImgXPage> decode(const QByteArray &data, int format, int page);
}
