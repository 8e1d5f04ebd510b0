#pragma once
// Small helpers that tests use to make real files and folders.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <functional>

namespace TestFiles {
// Writes bytes to path (creating folders); false on failure.
bool writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);
// An RGB image of the given size with a pattern that makes its
// orientation visible (red top-left corner, blue bottom-right).
QImage pattern(int width, int height);
// Columns one pixel wide, black and white in turn (black first): what
// any smoothing turns grey.
QImage stripes(int width, int height);
// Saves pattern(width, height) in the format Qt names (e.g. "JPG", "PNG").
bool writeImage(const QString &path, int width, int height, const char *format = "PNG");
// Makes a named pipe at path and runs action. Opening a pipe for reading
// waits for a writer; after a few seconds a writer turns up and sets such
// a reader free, so a fault fails the test instead of hanging it. Returns
// true when something was waiting to read the pipe. False also when the
// pipe could not be made (made is then false).
bool readerWaitedOnPipe(const QString &path, const std::function<void()> &action, bool *made = nullptr);
}
