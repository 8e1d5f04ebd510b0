#pragma once
// The program-wide path helper: file names, extensions, parent folders and
// existence tests, with "/" as the separator.

#include <QString>

class FileSystemObject {
public:
    // The folder part without a trailing "/" ("/" for a file in the root
    // folder, "" for the root itself or a bare name).
    QString GetParentFolderName(const QString &path) const;
    // The last part of the path (a trailing "/" is passed over).
    QString GetFileName(const QString &path) const;
    // The text after the last dot of the last part, letter case as written;
    // "" when there is none.
    QString GetExtensionName(const QString &path) const;
    bool FileExists(const QString &path) const;
    bool FolderExists(const QString &path) const;
};

// The one instance, created at its first use.
FileSystemObject &FSO();
