#pragma once
// Folder enumeration the way a find-first / find-next search gives it:
// every entry of the folder that matches the name pattern, "." and ".."
// first, then the names in the order of a case-insensitive file system's
// index (upper-cased, compared code unit by code unit, so "IMG_10" comes
// before "IMG_2"). Names are decoded from the file system's bytes with
// QFile::decodeName; a name that is not UTF-8 cannot be carried and is
// passed over with a warning. Callers take this order as it comes and sort
// nothing.

#include <QString>
#include <QStringList>

class FolderSearch {
public:
    // searchPath: a folder path followed by a name pattern, e.g.
    // "/photos/*" or "/photos/*.*". "*" and "*.*" match every name; other
    // patterns use "*" and "?" and ignore letter case.
    explicit FolderSearch(const QString &searchPath);
    ~FolderSearch() = default;
    FolderSearch(const FolderSearch &) = delete;
    FolderSearch &operator=(const FolderSearch &) = delete;

    // False when the folder cannot be read or no entry matches (the search
    // failed to start); next() then gives nothing.
    bool isOpen() const { return m_next < m_names.size(); }
    // The next matching name; false at the end.
    bool next(QString &name);
    // Ends the search; also done by the destructor. Safe to repeat.
    void close();

private:
    QStringList m_names;
    qsizetype m_next = 0;
};
