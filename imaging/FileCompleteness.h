#pragma once
// Structural checks that catch cut-off files before decoding: several
// decoders would show whatever part they got (grey or black below the cut,
// or the pages before it) and call that a success.

#include <QByteArray>
#include <QString>

namespace FileCompleteness {
// An error text when the data of the given ImgXFormat ends before its own
// structure says it should; empty when it looks whole.
QString problem(const QByteArray &data, int format);
}
