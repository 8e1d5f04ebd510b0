#pragma once
// Whole small files (desktop entries, lists, package definitions) read and
// written in one go.

#include <QByteArray>
#include <QString>

namespace SmallFile {

// The file's bytes; empty when it is missing or cannot be read.
QByteArray read(const QString &path);

// Writes the content in place of the file, all at once, only when it
// differs; the folder is made when missing. False when the file could not
// be written, or exists but cannot be read (it is then left alone);
// changed tells whether it was written.
bool writeIfChanged(const QString &path, const QByteArray &content, bool *changed = nullptr);

}
