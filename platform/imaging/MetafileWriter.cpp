#include "MetafileWriter.h"

#include "ImgXDocument.h"

namespace MetafileWriter {

QByteArray wmf(const QImage &)
{
    throw ImgXError(QStringLiteral("WMF cannot be written yet."));
}

QByteArray emf(const QImage &)
{
    throw ImgXError(QStringLiteral("EMF cannot be written yet."));
}

}
