#include "DecodeDeadline.h"

#include "ImgXDocument.h"

DecodeDeadline::DecodeDeadline(const QString &what, qint64 pixels, double nanosPerPixel)
    : m_what(what),
      m_limit(kLimit + std::chrono::nanoseconds(qint64(double(qMax<qint64>(0, pixels)) * qMax(0.0, nanosPerPixel)))),
      m_until(std::chrono::steady_clock::now() + m_limit)
{
}

qint64 DecodeDeadline::seconds() const
{
    return std::chrono::ceil<std::chrono::seconds>(m_limit).count();
}

void DecodeDeadline::check() const
{
    if (expired())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: decoding it was stopped after %2 seconds "
                                       "(the file is damaged or too complex).")
                            .arg(m_what)
                            .arg(seconds()));
}
