#pragma once
// File attributes as the program tests them, mapped from this file system:
// a name that starts with "." is hidden; a file we cannot write is
// read-only; a folder is a directory; every other regular file carries the
// archive bit (as a file that was written since its last backup); devices,
// sockets and pipes count as system files.

#include <QString>
#include <cstdint>

namespace FileAttributes {
enum : std::uint32_t {
    ReadOnly = 0x1, Hidden = 0x2, System = 0x4, Directory = 0x10, Archive = 0x20, Normal = 0x80,
    Invalid = 0xFFFFFFFFu      // the path cannot be read: every bit set
};
std::uint32_t get(const QString &path);
}
