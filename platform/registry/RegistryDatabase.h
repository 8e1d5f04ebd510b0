#pragma once
// The SQLite database behind the registry. It is opened for writing when it
// can be, and for reading only when it cannot (a read-only file or folder,
// a disk too full to set up its journal), so settings can be read wherever
// the file can. While it is locked elsewhere or missing it stays closed and
// the next call tries again. A damaged file is kept aside under a name of
// its own and a fresh store takes its place.

#include <QString>

struct sqlite3;

class RegistryDatabase {
public:
    ~RegistryDatabase();

    // Where the store lives; closes the open database.
    void setPath(const QString &path);
    QString path() const;

    // The open database, or null when it cannot be opened now. forWriting
    // makes a database that is open for reading only try once more to open
    // for writing; writable() tells whether it did.
    sqlite3 *get(bool forWriting);
    bool writable() const { return m_db && m_writable; }

    // Every statement's result passes here: one that found the file damaged
    // has the next call check it again.
    int noteResult(int result);

    // Where the damaged file of the last reset was kept, once; "" when no
    // reset happened since the last call.
    QString takeKeptAside();

private:
    enum class Outcome { Open, ReadOnly, Damaged, Locked, Failed };
    void close();
    void open();
    Outcome openForWriting(sqlite3 **db);
    Outcome openForReading(sqlite3 **db);
    bool keepAside();

    QString m_path;
    sqlite3 *m_db = nullptr;
    bool m_writable = false;
    bool m_openFailureLogged = false;   // until it opens again
    bool m_suspect = false;
    QString m_keptAside;
};
