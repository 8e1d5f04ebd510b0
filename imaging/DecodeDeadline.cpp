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

QString DecodeDeadline::stoppedReason(double seconds)
{
    return QStringLiteral("decoding it was stopped after %1 seconds (the file is damaged or too complex)").arg(seconds);
}

void DecodeDeadline::check() const
{
    if (expired())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2.").arg(m_what, stoppedReason(double(seconds()))));
}
