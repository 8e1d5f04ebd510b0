#pragma once
// The shell's file-operation service: copy, move, delete and rename over
// lists of paths, with the trash for undoable deletes. It asks its own
// confirmations through the prompts seam (before sending to the trash,
// before a permanent delete, before replacing an existing file), shows its
// own error messages, and returns 0 only when the whole operation was done.

#include <QString>
#include <QStringList>

class QWidget;

enum ShFileOpFunc : unsigned { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3, FO_RENAME = 4 };
enum ShFileOpFlags : unsigned { FOF_ALLOWUNDO = 0x40 };

struct SHFILEOPSTRUCT {
    QWidget *hwnd = nullptr;      // owner of the service's windows
    unsigned wFunc = 0;
    // Path lists in the service's format: each path followed by one NUL.
    // A list without any NUL is taken as one path.
    QString pFrom;
    QString pTo;                  // empty: no destination (deletes)
    unsigned fFlags = 0;
    bool fAnyOperationsAborted = false;
};

// Returns 0 when everything was done; non-zero when it failed or the user
// cancelled.
int SHFileOperation(SHFILEOPSTRUCT &op);

// The paths of a NUL-separated list.
QStringList splitPathList(const QString &list);
