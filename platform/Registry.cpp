#include "Registry.h"

#include "AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <cstring>
#include <sqlite3.h>

namespace Registry {

namespace {

struct OpenKey {
    qint64 keyId = 0;
    HKEY root = 0;
    std::uint32_t access = 0;
};

// The three roots are the first rows of the key table.
qint64 rootRow(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return 1;
    case HKEY_CURRENT_USER: return 2;
    case HKEY_LOCAL_MACHINE: return 3;
    default: return 0;
    }
}

constexpr std::uint32_t kReadRights = KEY_READ;

class Store {
public:
    ~Store() { close(); }

    QMutex mutex;
    QString path;
    QSet<HKEY> readOnlyRoots;
    QHash<HKEY, OpenKey> handles;
    HKEY nextHandle = 0x100;

    sqlite3 *db()
    {
        if (m_db || m_failed)
            return m_db;
        if (path.isEmpty())
            path = AppPaths::dataFolder() + QStringLiteral("/registry.db");
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK
            || !prepareSchema()) {
            close();
            m_failed = true;     // a damaged store: every call fails quietly
        }
        return m_db;
    }

    void close()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_failed = false;
    }

private:
    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    bool prepareSchema()
    {
        sqlite3_busy_timeout(m_db, 3000);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        return exec("CREATE TABLE IF NOT EXISTS keys ("
                    " id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL, lname TEXT NOT NULL,"
                    " UNIQUE(parent, lname))")
            && exec("CREATE TABLE IF NOT EXISTS vals ("
                    " key INTEGER NOT NULL, name TEXT NOT NULL, lname TEXT NOT NULL, type INTEGER NOT NULL,"
                    " data BLOB, PRIMARY KEY(key, lname))")
            && exec("INSERT OR IGNORE INTO keys(id, parent, name, lname) VALUES"
                    " (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
                    " (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
                    " (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine')");
    }

    sqlite3 *m_db = nullptr;
    bool m_failed = false;
};

Store &store()
{
    static Store s;
    return s;
}

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (db && sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            m_stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    bool ok() const { return m_stmt != nullptr; }
    Statement &bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); return *this; }
    Statement &bind(int i, const QString &v)
    {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bindBlob(int i, const QByteArray &v)
    {
        sqlite3_bind_blob(m_stmt, i, v.constData(), v.size(), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_ERROR; }
    qint64 int64(int col) { return sqlite3_column_int64(m_stmt, col); }
    QString text(int col)
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col)),
                                 sqlite3_column_bytes(m_stmt, col));
    }
    QByteArray blob(int col)
    {
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, col)), sqlite3_column_bytes(m_stmt, col));
    }
private:
    sqlite3_stmt *m_stmt = nullptr;
};

bool isRoot(HKEY key) { return rootRow(key) != 0; }

QStringList segments(const QString &subKey)
{
    return subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// The handle's key row and root; false for an unknown handle.
bool resolveHandle(HKEY key, OpenKey *out)
{
    Store &s = store();
    if (isRoot(key)) {
        const bool readOnly = s.readOnlyRoots.contains(key);
        *out = OpenKey{rootRow(key), key, readOnly ? kReadRights : KEY_ALL_ACCESS};
        return true;
    }
    auto it = s.handles.constFind(key);
    if (it == s.handles.constEnd())
        return false;
    *out = it.value();
    return true;
}

bool keyExists(sqlite3 *db, qint64 id)
{
    Statement st(db, "SELECT 1 FROM keys WHERE id = ?");
    st.bind(1, id);
    return st.step() == SQLITE_ROW;
}

qint64 childKey(sqlite3 *db, qint64 parent, const QString &name)
{
    Statement st(db, "SELECT id FROM keys WHERE parent = ? AND lname = ?");
    st.bind(1, parent).bind(2, name.toLower());
    return st.step() == SQLITE_ROW ? st.int64(0) : 0;
}

bool wantsWrite(std::uint32_t access) { return (access & ~kReadRights) != 0; }

HKEY newHandle(const OpenKey &key)
{
    Store &s = store();
    const HKEY handle = s.nextHandle++;
    if (s.nextHandle >= 0x7FFFFFF0u)
        s.nextHandle = 0x100;
    s.handles.insert(handle, key);
    return handle;
}

long openOrCreate(HKEY parent, const QString &subKey, std::uint32_t access, HKEY *result, bool create)
{
    if (!result)
        return InvalidParameter;
    *result = 0;
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey base;
    if (!resolveHandle(parent, &base))
        return InvalidHandle;
    sqlite3 *db = s.db();
    if (!db)
        return Failure;
    if (!keyExists(db, base.keyId))
        return NotFound;
    const bool readOnly = s.readOnlyRoots.contains(base.root);
    if (readOnly && (wantsWrite(access) || create))
        return AccessDenied;

    qint64 id = base.keyId;
    const QStringList parts = segments(subKey);
    bool inTransaction = false;
    for (const QString &part : parts) {
        const qint64 child = childKey(db, id, part);
        if (child) {
            id = child;
            continue;
        }
        if (!create) {
            if (inTransaction)
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return NotFound;
        }
        if (!inTransaction) {
            if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
                return Failure;
            inTransaction = true;
        }
        Statement st(db, "INSERT INTO keys(parent, name, lname) VALUES (?, ?, ?)");
        st.bind(1, id).bind(2, part).bind(3, part.toLower());
        if (st.step() != SQLITE_DONE) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return Failure;
        }
        id = sqlite3_last_insert_rowid(db);
    }
    if (inTransaction && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return Failure;
    }
    *result = newHandle(OpenKey{id, base.root, access});
    return Success;
}

bool mayWrite(const OpenKey &key)
{
    return !store().readOnlyRoots.contains(key.root) && (key.access & KEY_SET_VALUE);
}

// Resolves a handle for one call under the store's lock: the key's row,
// the rights the call needs, and the open database.
long prepareCall(HKEY key, std::uint32_t needed, OpenKey *k, sqlite3 **db)
{
    if (!resolveHandle(key, k))
        return InvalidHandle;
    const bool allowed = needed == KEY_SET_VALUE ? mayWrite(*k) : (k->access & needed) == needed;
    if (!allowed)
        return AccessDenied;
    *db = store().db();
    return *db ? Success : Failure;
}

bool isStringType(std::uint32_t type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

long writeValue(HKEY key, const QString &name, std::uint32_t type, const QByteArray &bytes)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey k;
    sqlite3 *db = nullptr;
    if (const long result = prepareCall(key, KEY_SET_VALUE, &k, &db); result != Success)
        return result;
    if (!keyExists(db, k.keyId))
        return NotFound;
    Statement st(db, "INSERT OR REPLACE INTO vals(key, name, lname, type, data) VALUES (?, ?, ?, ?, ?)");
    st.bind(1, k.keyId).bind(2, name).bind(3, name.toLower()).bind(4, qint64(type)).bindBlob(5, bytes);
    return st.step() == SQLITE_DONE ? Success : Failure;
}

bool hasSubKeys(sqlite3 *db, qint64 id)
{
    Statement st(db, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
    st.bind(1, id);
    return st.step() == SQLITE_ROW;
}

}

void setDatabasePath(const QString &path)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    s.close();
    s.handles.clear();
    s.path = path;
}

QString databasePath()
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    return s.path.isEmpty() ? AppPaths::dataFolder() + QStringLiteral("/registry.db") : s.path;
}

void setRootReadOnly(HKEY root, bool readOnly)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    if (readOnly)
        s.readOnlyRoots.insert(root);
    else
        s.readOnlyRoots.remove(root);
}

long openKey(HKEY parent, const QString &subKey, std::uint32_t access, HKEY *result)
{
    return openOrCreate(parent, subKey, access, result, false);
}

long createKey(HKEY parent, const QString &subKey, std::uint32_t access, HKEY *result)
{
    return openOrCreate(parent, subKey, access, result, true);
}

long closeKey(HKEY key)
{
    if (isRoot(key))
        return Success;
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    return s.handles.remove(key) ? Success : InvalidHandle;
}

long queryValue(HKEY key, const QString &name, std::uint32_t *type, char *data, std::uint32_t *size)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey k;
    sqlite3 *db = nullptr;
    if (const long result = prepareCall(key, KEY_QUERY_VALUE, &k, &db); result != Success)
        return result;
    Statement st(db, "SELECT type, data FROM vals WHERE key = ? AND lname = ?");
    st.bind(1, k.keyId).bind(2, name.toLower());
    if (st.step() != SQLITE_ROW)
        return NotFound;
    const std::uint32_t storedType = std::uint32_t(st.int64(0));
    const QByteArray bytes = st.blob(1);
    if (type)
        *type = storedType;
    if (!data) {
        if (size)
            *size = std::uint32_t(bytes.size());
        return Success;
    }
    if (!size)
        return InvalidParameter;
    const std::uint32_t capacity = *size;
    *size = std::uint32_t(bytes.size());
    if (capacity < std::uint32_t(bytes.size()))
        return MoreData;
    if (!bytes.isEmpty())
        std::memcpy(data, bytes.constData(), size_t(bytes.size()));
    return Success;
}

long setValue(HKEY key, const QString &name, std::uint32_t type, const char *data, std::uint32_t size)
{
    QByteArray bytes(data ? data : "", data ? int(size) : 0);
    if (isStringType(type) && !bytes.isEmpty() && !bytes.endsWith('\0'))
        bytes.append('\0');
    return writeValue(key, name, type, bytes);
}

long setValueRaw(HKEY key, const QString &name, std::uint32_t type, const QByteArray &bytes)
{
    return writeValue(key, name, type, bytes);
}

long deleteValue(HKEY key, const QString &name)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey k;
    sqlite3 *db = nullptr;
    if (const long result = prepareCall(key, KEY_SET_VALUE, &k, &db); result != Success)
        return result;
    Statement st(db, "DELETE FROM vals WHERE key = ? AND lname = ?");
    st.bind(1, k.keyId).bind(2, name.toLower());
    if (st.step() != SQLITE_DONE)
        return Failure;
    return sqlite3_changes(db) > 0 ? Success : NotFound;
}

long deleteKey(HKEY parent, const QString &subKey)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey base;
    if (!resolveHandle(parent, &base))
        return InvalidHandle;
    if (s.readOnlyRoots.contains(base.root))
        return AccessDenied;
    const QStringList parts = segments(subKey);
    if (parts.isEmpty())
        return InvalidParameter;
    sqlite3 *db = s.db();
    if (!db)
        return Failure;
    qint64 id = base.keyId;
    for (const QString &part : parts) {
        id = childKey(db, id, part);
        if (!id)
            return NotFound;
    }
    if (hasSubKeys(db, id))
        return AccessDenied;
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return Failure;
    Statement delValues(db, "DELETE FROM vals WHERE key = ?");
    delValues.bind(1, id);
    Statement delKey(db, "DELETE FROM keys WHERE id = ?");
    delKey.bind(1, id);
    if (delValues.step() != SQLITE_DONE || delKey.step() != SQLITE_DONE
        || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return Failure;
    }
    return Success;
}

long enumKey(HKEY key, std::uint32_t index, QString *name)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey k;
    sqlite3 *db = nullptr;
    if (const long result = prepareCall(key, 0, &k, &db); result != Success)
        return result;
    Statement st(db, "SELECT name FROM keys WHERE parent = ? ORDER BY lname LIMIT 1 OFFSET ?");
    st.bind(1, k.keyId).bind(2, qint64(index));
    if (st.step() != SQLITE_ROW)
        return NoMoreItems;
    if (name)
        *name = st.text(0);
    return Success;
}

}
