#include "DecodeDeadline.h"

#include "ImgXDocument.h"

void DecodeDeadline::check() const
{
    if (expired())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: decoding it was stopped after %2 seconds "
                                       "(the file is damaged or too complex).")
                            .arg(m_what)
                            .arg(kLimit.count()));
}
