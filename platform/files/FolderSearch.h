#pragma once
// Folder enumeration the way a find-first / find-next search gives it:
// every entry of the folder that matches the name pattern, "." and ".."
// first, then the names in the order of a case-insensitive file system's
// index (upper-cased, compared code unit by code unit, so "IMG_10" comes
// before "IMG_2"). Names are decoded from the file system's bytes with
// QFile::decodeName; a name that is not UTF-8 cannot be carried and is
// passed over. Callers take this order as it comes and sort nothing. A
// search reports nothing itself: a caller that searches one folder several
// times tells the user's log once what readError() and unreadableNames()
// say.

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
    // Why the folder could not be read (an errno value); 0 when it was read
    // or is not there at all.
    int readError() const { return m_readError; }
    // The entries passed over because their names are not UTF-8, as decoded
    // (with U+FFFD for the bytes that are not), pattern or not.
    const QStringList &unreadableNames() const { return m_unreadable; }

private:
    QStringList m_names;
    int m_readError = 0;
    QStringList m_unreadable;
    qsizetype m_next = 0;
};
