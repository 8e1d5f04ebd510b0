#include "VariantConversion.h"

#include <cmath>
#include <stdexcept>

namespace VariantConversion {

namespace {

bool isEmpty(const QVariant &value) { return !value.isValid() || value.isNull(); }

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Char: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void mismatch(const char *what)
{
    throw std::invalid_argument(std::string("Type mismatch: the default is not ") + what);
}

// A number written as text: decimal, or hexadecimal after "&H".
bool parseNumber(const QString &text, double &number)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        number = double(t.mid(2).toLongLong(&ok, 16));
        return ok;
    }
    number = t.toDouble(&ok);
    return ok && std::isfinite(number);
}

double toNumber(const QVariant &value, const char *what)
{
    if (isNumber(value) || value.typeId() == QMetaType::Bool)
        return value.toDouble();
    double number = 0;
    if (value.typeId() == QMetaType::QString && parseNumber(value.toString(), number))
        return number;
    mismatch(what);
}

}

QString toText(const QVariant &value)
{
    if (isEmpty(value))
        return QString();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    QVariant copy = value;
    if (!copy.convert(QMetaType::fromType<QString>()))
        mismatch("text");
    return copy.toString();
}

QColor toColour(const QVariant &value)
{
    if (isEmpty(value))
        return QColor(0, 0, 0);
    if (value.typeId() == QMetaType::QColor) {
        const QColor colour = value.value<QColor>();
        if (!colour.isValid())
            mismatch("a colour");
        return colour;
    }
    const double number = std::round(toNumber(value, "a colour"));
    if (number < 0 || number > 0xFFFFFF)
        throw std::invalid_argument("Invalid property value: the colour is out of range");
    const quint32 bgr = quint32(number);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

bool toBoolean(const QVariant &value)
{
    if (isEmpty(value))
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toNumber(value, "a boolean") != 0;
}

}
