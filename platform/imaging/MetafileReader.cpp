#include "MetafileReader.h"

namespace MetafileReader {

QVector<ImgXPage> decode(const QByteArray &, int, int)
{
    throw ImgXError(QStringLiteral("Metafiles cannot be read yet."));
}

}
