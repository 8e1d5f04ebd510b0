#pragma once
// Folder enumeration in the file system's own order (no sorting), the way
// a find-first / find-next search gives it: every entry of the folder that
// matches the name pattern, "." and ".." included, names decoded from the
// file system's bytes with QFile::decodeName.

#include <QRegularExpression>
#include <QString>

class FolderSearch {
public:
    // searchPath: a folder path followed by a name pattern, e.g.
    // "/photos/*" or "/photos/*.*". "*" and "*.*" match every name; other
    // patterns use "*" and "?" and ignore letter case.
    explicit FolderSearch(const QString &searchPath);
    ~FolderSearch();
    FolderSearch(const FolderSearch &) = delete;
    FolderSearch &operator=(const FolderSearch &) = delete;

    // False when the folder cannot be read or no entry matches (the search
    // failed to start); next() then gives nothing.
    bool isOpen() const { return m_hasPending; }
    // The next matching name; false at the end.
    bool next(QString &name);
    // Ends the search; also done by the destructor. Safe to repeat.
    void close();

private:
    bool readMatch(QString &name);

    void *m_dir = nullptr;   // DIR*
    bool m_matchAll = true;
    QRegularExpression m_pattern;
    bool m_hasPending = false;
    QString m_pending;
};
