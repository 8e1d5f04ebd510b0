#pragma once
// What the classes of the file-operation service share: paths and the
// entries they name, and the two ways an operation ends before it is done.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace FileOps {

// A failure that ends the operation: the result code and the reason shown.
struct OperationError {
    int code;
    QString reason;
};

// The user pressed Cancel in a question or in the progress window.
struct OperationCancelled {};

QByteArray native(const QString &path);

QString reasonOf(int err);

// What lstat says about a path: links are never followed, so a link to a
// folder is copied, moved and deleted as the link itself.
struct Entry {
    bool exists = false;
    bool isDir = false;
    bool isRegular = false;
    bool isLink = false;
    dev_t dev = 0;
    ino_t ino = 0;
    qint64 size = 0;
    mode_t mode = 0;
};

Entry entryOf(const QString &path);

bool sameEntry(const Entry &a, const Entry &b);

bool isFolder(const QString &path);   // follows links

QString cleaned(const QString &path);

QString nameOf(const QString &path);

QString parentOf(const QString &path);

QString joined(const QString &folder, const QString &name);

// The names in a folder, "." and ".." left out. Unlike QDir, a folder that
// cannot be read is an error rather than an empty list.
QStringList childrenOf(const QString &folder);

// Puts `from` at `to` and returns 0 or the error number. Without mayReplace
// an existing `to` is never replaced, not even one that appeared after we
// looked.
int renameEntry(const QString &from, const QString &to, bool mayReplace);

// The sum of the sizes of the files below the paths, for the progress bar.
qint64 totalSize(const QString &path);

}
