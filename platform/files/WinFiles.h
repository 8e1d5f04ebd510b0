#pragma once
// File services the association code and the start-up rely on: short
// paths, the drive list and environment strings.

#include <QString>
#include <QStringList>

namespace WinFiles {
// This file system has no short names: an existing path comes back
// unchanged, a missing one as "".
QString shortPath(const QString &longPath);
// The roots of the mounted volumes: "/" and every mount point, each
// ending with "/".
QStringList driveRoots();
// Replaces each %NAME% by the environment variable's value; a reference to
// a variable that is not set stays as written.
QString expandEnvironmentStrings(const QString &text);
}
