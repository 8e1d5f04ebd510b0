#pragma once
// Readable Qt values in test failure messages.

#include <QRect>
#include <QSize>
#include <QString>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QRect &rect, std::ostream *os)
{
    *os << rect.width() << "x" << rect.height() << " at " << rect.x() << "," << rect.y();
}

inline void PrintTo(const QSize &size, std::ostream *os)
{
    *os << size.width() << "x" << size.height();
}
