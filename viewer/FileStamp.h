#pragma once
// What tells whether a file changed since it was read: its size, its
// modification and status-change times to the nanosecond, and its inode (a
// save that replaces the file gives it a new one). Two stamps of a file
// that was not touched in between are equal.

#include <QString>
#include <sys/types.h>

struct FileStamp {
    static FileStamp of(const QString &path);

    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileStamp &other) const;
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
};
