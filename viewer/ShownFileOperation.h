#pragma once
// One file operation on the file the viewer shows: the destination folder
// or the new name is asked for first, then ShellFileOperation does the
// work with its own confirmations, progress and error messages. What
// became of the file is read back from the file system.

#include "FileOpCode.h"

#include <QString>
#include <optional>

class QWidget;

class ShownFileOperation {
public:
    enum class Outcome {
        Unchanged,   // cancelled, refused, failed, or a copy: the file is where it was
        Renamed,     // the file now has the new path
        Gone         // deleted or moved away
    };
    struct Result {
        Outcome outcome = Outcome::Unchanged;
        QString newPath;     // the destination worked out (copy, move, rename)
    };

    static Result run(FileOpCode code, const QString &shown, QWidget *owner);

    // The copy's or move's destination: the chosen folder and the file's
    // name. A folder typed without its closing "/" gets one.
    static QString destination(const QString &folder, const QString &shown);
    // The rename's new path: the file's folder and the name typed.
    static QString renamed(const QString &shown, const QString &name);
};
