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

// The non-zero results.
enum ShFileOpResult : int {
    DE_SAMEFILE = 0x71,         // source and destination are the same file
    DE_DIFFDIR = 0x73,          // a rename would move the item to another folder
    DE_DESTSUBTREE = 0x76,      // the destination lies inside the source folder
    DE_ACCESSDENIEDSRC = 0x78,  // a source could not be read or removed
    DE_INVALIDFILES = 0x7C,     // a source is missing, or the request is unusable
    DE_FLDDESTISFILE = 0x7E,    // a folder's destination is an existing file
    DE_FILEDESTISFLD = 0x80,    // a file's destination is an existing folder
    DE_ERRORONDEST = 0x10000,   // the destination could not be written
    ERROR_CANCELLED = 1223      // the user answered No or Cancel
};

struct SHFILEOPSTRUCT {
    QWidget *hwnd = nullptr;      // owner of the service's windows
    unsigned wFunc = 0;
    // Path lists in the service's format: each path followed by one NUL.
    // A list without any NUL is taken as one path.
    QString pFrom;
    QString pTo;                  // empty: no destination (deletes)
    unsigned fFlags = 0;
    bool fAnyOperationsAborted = false;   // set when the user declined or cancelled any part
    // Set by the service: the sources that were carried out, spelt as in
    // pFrom. A partly done operation (an item declined, or an error after
    // some items) lists the items done before it ended.
    QStringList doneItems;
};

// Returns 0 when everything was done; non-zero when it failed or the user
// cancelled.
int SHFileOperation(SHFILEOPSTRUCT &op);

// The paths of a NUL-separated list.
QStringList splitPathList(const QString &list);
