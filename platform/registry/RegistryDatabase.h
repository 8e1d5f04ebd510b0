#pragma once
// The SQLite database behind the registry. It is opened for writing when it
// can be, and for reading only when it cannot (a read-only file or folder,
// a disk too full to set up its journal), so settings can be read wherever
// the file can. Another program's lock is waited for only so long: each
// call may wait a little, and once a wait has run out no call waits again
// until one gets through. A damaged file is kept aside under a name of its
// own and a fresh store takes its place; one that cannot be kept aside (its
// folder cannot be written) leaves the store closed for good.

#include "Registry.h"

#include <QDeadlineTimer>
#include <QString>

struct sqlite3;

class RegistryDatabase {
public:
    ~RegistryDatabase();

    // Where the store lives; closes the open database.
    void setPath(const QString &path);
    QString path() const;

    // Opens the store afresh, waiting for another program's lock at most
    // waitMs in all, and tells whether it can be written (Ready), can only
    // be read by this user (ReadOnly), is held by another program (InUse)
    // or cannot be opened at all.
    Registry::StoreState openWithin(int waitMs);
    // From now on the store is only read: it is opened once, without
    // waiting or checking, and never again for writing.
    void keepReadOnly();
    bool keptReadOnly() const { return m_keptReadOnly; }

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
    // The damaged file that could not be kept aside, once; "" otherwise.
    QString takeUnreplaced();

    // The lock handler's question: may the call wait a little longer?
    bool waitForLock();

private:
    enum class Outcome { Open, ReadOnly, Damaged, Locked, Failed };
    void close();
    void open();
    void openReadOnlyUnchecked();
    bool canTakeWriteLock();
    Outcome openForWriting(sqlite3 **db);
    Outcome openForReading(sqlite3 **db);
    int openForReadingAs(const char *query, sqlite3 **db);
    bool keepAside();

    QString m_path;
    sqlite3 *m_db = nullptr;
    bool m_writable = false;
    bool m_openFailureLogged = false;   // until it opens again
    bool m_suspect = false;
    bool m_keptReadOnly = false;
    bool m_unusable = false;           // damaged, and cannot be replaced
    bool m_lockGivenUp = false;        // no call waits until one gets through
    Outcome m_lastOpen = Outcome::Open;
    QDeadlineTimer m_lockWait;
    QString m_keptAside;
    QString m_unreplaced;
};
