#include "RegistryDatabase.h"

#include "AppPaths.h"
#include "StoreLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <utility>
#include <sqlite3.h>

namespace {

// How long one call may wait for a lock another program holds, and how
// often it looks again meanwhile.
constexpr int kCallWaitMs = 500;
constexpr int kLockPollMs = 20;

int onBusy(void *database, int)
{
    return static_cast<RegistryDatabase *>(database)->waitForLock() ? 1 : 0;
}

bool isSuccess(int result)
{
    return result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE;
}

bool isDamage(int result)
{
    const int primary = result & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool isBusy(int result)
{
    const int primary = result & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// A statement's first row as text, or the error met on the way.
int firstText(sqlite3 *db, const char *sql, QByteArray *text)
{
    sqlite3_stmt *stmt = nullptr;
    int result = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (result == SQLITE_OK) {
        result = sqlite3_step(stmt);
        if (result == SQLITE_ROW) {
            *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            result = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return result;
}

// SQLITE_OK for a sound file, SQLITE_CORRUPT when the check finds damage,
// else the error that kept it from reading the file.
int check(sqlite3 *db)
{
    QByteArray verdict;
    const int result = firstText(db, "PRAGMA quick_check", &verdict);
    if (result != SQLITE_OK)
        return result;
    return verdict == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
}

bool hasRoots(sqlite3 *db)
{
    QByteArray count;
    return firstText(db, "SELECT count(*) FROM keys WHERE id IN (1, 2, 3)", &count) == SQLITE_OK && count == "3";
}

// Makes the tables and the three roots; a store that has them is not
// written to, so opening it never waits for another writer.
int prepareSchema(sqlite3 *db)
{
    if (hasRoots(db))
        return SQLITE_OK;
    return sqlite3_exec(db,
                        "CREATE TABLE IF NOT EXISTS keys ("
                        " id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL, lname TEXT NOT NULL,"
                        " UNIQUE(parent, lname));"
                        "CREATE TABLE IF NOT EXISTS vals ("
                        " key INTEGER NOT NULL, name TEXT NOT NULL, lname TEXT NOT NULL, type INTEGER NOT NULL,"
                        " data BLOB, PRIMARY KEY(key, lname));"
                        "INSERT OR IGNORE INTO keys(id, parent, name, lname) VALUES"
                        " (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
                        " (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
                        " (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine')",
                        nullptr, nullptr, nullptr);
}

void closeDb(sqlite3 **db)
{
    sqlite3_close_v2(*db);
    *db = nullptr;
}

}

RegistryDatabase::~RegistryDatabase()
{
    close();
}

void RegistryDatabase::setPath(const QString &path)
{
    close();
    m_path = path;
    m_keptReadOnly = false;
    m_unusable = false;
    m_lockGivenUp = false;
}

QString RegistryDatabase::path() const
{
    return m_path.isEmpty() ? AppPaths::dataFolder() + QStringLiteral("/registry.db") : m_path;
}

sqlite3 *RegistryDatabase::get(bool forWriting)
{
    m_lockWait.setRemainingTime(kCallWaitMs);
    if (m_suspect) {
        close();
        m_suspect = false;
    }
    if (m_keptReadOnly || m_unusable)
        return m_db;
    if (!m_db) {
        open();
    } else if (forWriting && !m_writable) {
        // Rights, room or a lock may have changed since the store was opened.
        sqlite3 *db = nullptr;
        if (openForWriting(&db) == Outcome::Open) {
            sqlite3_close_v2(m_db);
            m_db = db;
            m_writable = true;
        } else if (db) {
            closeDb(&db);
        }
    }
    return m_db;
}

void RegistryDatabase::close()
{
    if (m_db)
        closeDb(&m_db);
    m_writable = false;
}

int RegistryDatabase::noteResult(int result)
{
    if (isDamage(result))
        m_suspect = true;
    else if (isSuccess(result))
        m_lockGivenUp = false;     // whatever held the store has let go
    if (!isSuccess(result))
        qCWarning(lcStore, "The store %s failed: %s", qUtf8Printable(path()), sqlite3_errstr(result));
    return result;
}

QString RegistryDatabase::takeKeptAside()
{
    QString aside;
    aside.swap(m_keptAside);
    return aside;
}

QString RegistryDatabase::takeUnreplaced()
{
    QString file;
    file.swap(m_unreplaced);
    return file;
}

bool RegistryDatabase::waitForLock()
{
    if (m_lockGivenUp)
        return false;
    const qint64 left = m_lockWait.remainingTime();
    if (left <= 0) {
        m_lockGivenUp = true;
        qCWarning(lcStore) << "another program holds" << path() << "locked; not waiting for it any longer";
        return false;
    }
    QThread::msleep(std::min<qint64>(left, kLockPollMs));
    return true;
}

Registry::StoreState RegistryDatabase::openWithin(int waitMs)
{
    using State = Registry::StoreState;
    close();
    m_keptReadOnly = false;
    m_unusable = false;
    m_lockGivenUp = false;
    m_lockWait.setRemainingTime(waitMs);
    open();
    if (!m_db)
        return m_lastOpen == Outcome::Locked ? State::InUse : State::Unavailable;
    if (!m_writable)
        return State::ReadOnly;
    return canTakeWriteLock() ? State::Ready : State::InUse;
}

// Whether a write could start now (or within the wait left): another
// program's write lock lets this one read but would hold up every write.
bool RegistryDatabase::canTakeWriteLock()
{
    if (noteResult(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK)
        return false;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return true;
}

void RegistryDatabase::keepReadOnly()
{
    m_keptReadOnly = true;
    if (!m_db && !m_unusable)
        openReadOnlyUnchecked();
}

// Another program holds the store, perhaps so that it cannot even be read
// now: the connection is made without touching the file, and its reads
// fail until that program lets go.
void RegistryDatabase::openReadOnlyUnchecked()
{
    if (!QFileInfo(path()).isFile())
        return;
    sqlite3 *db = nullptr;
    if (openForReadingAs("?mode=ro", &db) != SQLITE_OK) {
        qCWarning(lcStore) << "cannot open" << path() << "for reading:" << sqlite3_errmsg(db);
        closeDb(&db);
        return;
    }
    m_db = db;
    m_writable = false;
}

// Opens the file for reading only, as the URI query (a "?mode=ro", say)
// asks, without looking into it yet.
int RegistryDatabase::openForReadingAs(const char *query, sqlite3 **db)
{
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path()).absoluteFilePath()).toEncoded() + query;
    const int result =
        sqlite3_open_v2(uri.constData(), db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (result == SQLITE_OK)
        sqlite3_busy_handler(*db, onBusy, this);
    return result;
}

void RegistryDatabase::open()
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3 *db = nullptr;
        Outcome outcome = openForWriting(&db);
        if (outcome == Outcome::Failed)
            outcome = openForReading(&db);
        m_lastOpen = outcome;
        if (outcome == Outcome::Open || outcome == Outcome::ReadOnly) {
            m_db = db;
            m_writable = outcome == Outcome::Open;
            if (!m_writable)
                qCWarning(lcStore, "The store %s can only be read; changes are not kept", qUtf8Printable(path()));
            m_openFailureLogged = false;
            return;
        }
        // Locked or unreadable: closed, and the next call tries again.
        if (outcome != Outcome::Damaged || attempt > 0) {
            if (!std::exchange(m_openFailureLogged, true))
                qCWarning(lcStore, "Cannot open the store %s", qUtf8Printable(path()));
            return;
        }
        if (!keepAside()) {
            // Nothing can replace it here: the store stays closed, and the
            // user is told once rather than shown defaults as if saved.
            qCWarning(lcStore) << "damaged store" << path() << "cannot be kept aside and replaced";
            m_unusable = true;
            m_unreplaced = path();
            return;
        }
    }
}

// Outcomes other than Open and ReadOnly leave *db closed. ReadOnly here is
// a database that reads but cannot be written.
RegistryDatabase::Outcome RegistryDatabase::openForWriting(sqlite3 **db)
{
    const auto failed = [db](int result) {
        closeDb(db);
        return isDamage(result) ? Outcome::Damaged : isBusy(result) ? Outcome::Locked : Outcome::Failed;
    };
    int result = sqlite3_open_v2(QFile::encodeName(path()).constData(), db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (result != SQLITE_OK)
        return failed(result);
    sqlite3_busy_handler(*db, onBusy, this);
    if ((result = check(*db)) != SQLITE_OK)
        return failed(result);
    if (sqlite3_db_readonly(*db, "main") == 1)
        return Outcome::ReadOnly;
    QByteArray mode;
    result = firstText(*db, "PRAGMA journal_mode=WAL", &mode);
    if (isBusy(result))
        return failed(result);
    if (result != SQLITE_OK || mode != "wal")
        return Outcome::ReadOnly;   // no journal can be made beside the file
    sqlite3_exec(*db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    result = prepareSchema(*db);
    if (isBusy(result))
        return failed(result);
    return result == SQLITE_OK ? Outcome::Open : Outcome::ReadOnly;
}

// For a file that can be read but not opened for writing. A journaled
// store in a folder nobody may write to cannot even be read the ordinary
// way; read as unchanging it can.
RegistryDatabase::Outcome RegistryDatabase::openForReading(sqlite3 **db)
{
    if (!QFileInfo(path()).isFile())
        return Outcome::Failed;
    for (const char *query : {"?mode=ro", "?immutable=1"}) {
        int result = openForReadingAs(query, db);
        if (result == SQLITE_OK)
            result = check(*db);
        if (result == SQLITE_OK)
            return Outcome::ReadOnly;
        closeDb(db);
        if (isDamage(result))
            return Outcome::Damaged;
        if (isBusy(result))
            return Outcome::Locked;
    }
    return Outcome::Failed;
}

// Renames the damaged file to "<name>.damaged-<date>-<time>" beside it,
// for the user to recover what they can; its journal goes with it.
bool RegistryDatabase::keepAside()
{
    const QString file = path();
    const QString stem = file + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(file, aside)) {
        qCWarning(lcStore, "Cannot keep the damaged store %s aside as %s", qUtf8Printable(file), qUtf8Printable(aside));
        return false;
    }
    // A fresh store must not take up the old file's journal.
    const QString journal = file + QStringLiteral("-wal");
    if (QFileInfo(journal).size() == 0 || !QFile::rename(journal, aside + QStringLiteral("-wal")))
        QFile::remove(journal);
    QFile::remove(file + QStringLiteral("-shm"));
    m_keptAside = aside;
    return true;
}
