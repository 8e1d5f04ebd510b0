#pragma once
// Conversions of a row's default value as the input dialog takes it. A
// value that cannot be converted throws std::invalid_argument, before any
// control is touched.

#include <QColor>
#include <QString>
#include <QVariant>

namespace VariantConversion {
// Any value with a text form; an empty variant gives "", booleans "True" / "False".
QString toText(const QVariant &value);
// A colour: a QColor, or a number 0 to &HFFFFFF in the 0x00BBGGRR layout,
// also as text ("255", "&HFF00"). An empty variant is black.
QColor toColour(const QVariant &value);
// A boolean: true/false, a number (non-zero is true), or the text "True",
// "False" or a number. An empty variant is false.
bool toBoolean(const QVariant &value);
}
