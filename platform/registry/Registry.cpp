#include "Registry.h"

#include "Prompts.h"
#include "RegistryDatabase.h"

#include <QApplication>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <atomic>
#include <cstring>
#include <optional>
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
    QMutex mutex;
    RegistryDatabase database;
    QSet<HKEY> readOnlyRoots;
    QHash<HKEY, OpenKey> handles;
    HKEY nextHandle = 0x100;
};

Store &store()
{
    static Store s;
    return s;
}

// Calls that failed because the store could not be read or written.
std::atomic<quint64> g_failures{0};

long failure()
{
    ++g_failures;
    return Failure;
}

// A prepared statement that finalizes itself. One that cannot be prepared
// (the store locked while its schema is read) steps to that error.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        m_prepared = db ? sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) : SQLITE_MISUSE;
        if (m_prepared != SQLITE_OK)
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
    int step() { return store().database.noteResult(m_stmt ? sqlite3_step(m_stmt) : m_prepared); }
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
    int m_prepared = SQLITE_OK;
};

// A write transaction that rolls back unless committed. It takes the write
// lock at once, so what it looks up cannot change before it writes.
class Transaction {
public:
    explicit Transaction(sqlite3 *db) : m_db(db) { m_open = exec("BEGIN IMMEDIATE"); }
    ~Transaction()
    {
        if (m_open)
            exec("ROLLBACK");
    }
    bool ok() const { return m_open; }
    bool commit()
    {
        if (!m_open)
            return false;
        m_open = false;
        if (exec("COMMIT"))
            return true;
        exec("ROLLBACK");
        return false;
    }
private:
    bool exec(const char *sql)
    {
        return store().database.noteResult(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr)) == SQLITE_OK;
    }
    sqlite3 *m_db;
    bool m_open = false;
};

// Declared before a call's lock: once the lock is released, tells the user
// that a damaged store was replaced by a fresh one (the message box runs
// events, which may use the store again).
struct ResetNotice {
    ~ResetNotice()
    {
        QString aside;
        QString unreplaced;
        {
            QMutexLocker lock(&store().mutex);
            aside = store().database.takeKeptAside();
            unreplaced = store().database.takeUnreplaced();
        }
        // A process without widgets (a tool) cannot show a message box.
        if (!Prompts::handler() && !qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        if (!aside.isEmpty())
            Prompts::MsgBox(QCoreApplication::translate("Registry",
                                "The settings could not be read, so they have been reset. The damaged settings file "
                                "was kept as %1.").arg(aside),
                            Prompts::OKOnly);
        if (!unreplaced.isEmpty())
            Prompts::MsgBox(QCoreApplication::translate("Registry",
                                "The settings file %1 is damaged and cannot be replaced, because its folder cannot be "
                                "written. Quillmere runs with its default settings and saves no changes.")
                                .arg(unreplaced),
                            Prompts::OKOnly | Prompts::Exclamation);
    }
};

bool isRoot(HKEY key) { return rootRow(key) != 0; }

// Under the store's lock: whether nothing may be written below the root.
bool isReadOnly(HKEY root)
{
    return store().database.keptReadOnly() || store().readOnlyRoots.contains(root);
}

QStringList segments(const QString &subKey)
{
    return subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// The handle's key row and root; false for an unknown handle.
bool resolveHandle(HKEY key, OpenKey *out)
{
    Store &s = store();
    if (isRoot(key)) {
        const bool readOnly = isReadOnly(key);
        *out = OpenKey{rootRow(key), key, readOnly ? kReadRights : KEY_ALL_ACCESS};
        return true;
    }
    auto it = s.handles.constFind(key);
    if (it == s.handles.constEnd())
        return false;
    *out = it.value();
    return true;
}

// Success when the key is there, NotFound when it is not, Failure when the
// store could not be read.
long findKey(sqlite3 *db, qint64 id)
{
    Statement st(db, "SELECT 1 FROM keys WHERE id = ?");
    st.bind(1, id);
    const int result = st.step();
    return result == SQLITE_ROW ? Success : result == SQLITE_DONE ? NotFound : failure();
}

// The child's row in *child; results as findKey.
long findChildKey(sqlite3 *db, qint64 parent, const QString &name, qint64 *child)
{
    Statement st(db, "SELECT id FROM keys WHERE parent = ? AND lname = ?");
    st.bind(1, parent).bind(2, name.toLower());
    const int result = st.step();
    if (result == SQLITE_ROW)
        *child = st.int64(0);
    return result == SQLITE_ROW ? Success : result == SQLITE_DONE ? NotFound : failure();
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
    ResetNotice notice;
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey base;
    if (!resolveHandle(parent, &base))
        return InvalidHandle;
    const bool writing = wantsWrite(access) || create;
    if (writing && isReadOnly(base.root))
        return AccessDenied;
    sqlite3 *db = s.database.get(writing);
    if (!db)
        return failure();
    if (writing && !s.database.writable())
        return AccessDenied;
    // Two processes creating the same key must not both find it missing.
    std::optional<Transaction> transaction;
    if (create && !transaction.emplace(db).ok())
        return failure();
    if (const long found = findKey(db, base.keyId); found != Success)
        return found;

    qint64 id = base.keyId;
    for (const QString &part : segments(subKey)) {
        qint64 child = 0;
        const long found = findChildKey(db, id, part, &child);
        if (found == Success) {
            id = child;
            continue;
        }
        if (found != NotFound || !create)
            return found;
        Statement st(db, "INSERT INTO keys(parent, name, lname) VALUES (?, ?, ?)");
        st.bind(1, id).bind(2, part).bind(3, part.toLower());
        if (st.step() != SQLITE_DONE)
            return failure();
        id = sqlite3_last_insert_rowid(db);
    }
    if (transaction && !transaction->commit())
        return failure();
    *result = newHandle(OpenKey{id, base.root, access});
    return Success;
}

bool mayWrite(const OpenKey &key)
{
    return !isReadOnly(key.root) && (key.access & KEY_SET_VALUE);
}

// One call on an open key, holding the store's lock while it lives: the
// key's row, the database open for the call, and whether the handle has the
// rights the call needs (KEY_SET_VALUE for a write); result tells which of
// these failed. The notice is made first so that it speaks after the lock
// is released.
struct KeyCall {
    KeyCall(HKEY handle, std::uint32_t needed);

    ResetNotice notice;
    QMutexLocker<QMutex> lock;
    OpenKey key;
    sqlite3 *db = nullptr;
    long result = Success;
};

KeyCall::KeyCall(HKEY handle, std::uint32_t needed) : lock(&store().mutex)
{
    if (!resolveHandle(handle, &key)) {
        result = InvalidHandle;
        return;
    }
    const bool writing = needed == KEY_SET_VALUE;
    if (writing ? !mayWrite(key) : (key.access & needed) != needed) {
        result = AccessDenied;
        return;
    }
    RegistryDatabase &database = store().database;
    db = database.get(writing);
    result = !db ? failure() : writing && !database.writable() ? AccessDenied : Success;
}

bool isStringType(std::uint32_t type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

long writeValue(HKEY key, const QString &name, std::uint32_t type, const QByteArray &bytes)
{
    KeyCall call(key, KEY_SET_VALUE);
    if (call.result != Success)
        return call.result;
    if (const long found = findKey(call.db, call.key.keyId); found != Success)
        return found;
    Statement st(call.db, "INSERT OR REPLACE INTO vals(key, name, lname, type, data) VALUES (?, ?, ?, ?, ?)");
    st.bind(1, call.key.keyId).bind(2, name).bind(3, name.toLower()).bind(4, qint64(type)).bindBlob(5, bytes);
    return st.step() == SQLITE_DONE ? Success : failure();
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
    s.database.setPath(path);
    s.handles.clear();
}

QString databasePath()
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    return s.database.path();
}

StoreState openStore(int waitMs)
{
    ResetNotice notice;
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    return s.database.openWithin(waitMs);
}

void keepReadOnly()
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    s.database.keepReadOnly();
}

bool keptReadOnly()
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    return s.database.keptReadOnly();
}

FailureWatch::FailureWatch() : m_start(g_failures.load()) {}

bool FailureWatch::failed() const
{
    return g_failures.load() != m_start;
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
    KeyCall call(key, KEY_QUERY_VALUE);
    if (call.result != Success)
        return call.result;
    Statement st(call.db, "SELECT type, data FROM vals WHERE key = ? AND lname = ?");
    st.bind(1, call.key.keyId).bind(2, name.toLower());
    if (const int result = st.step(); result != SQLITE_ROW)
        return result == SQLITE_DONE ? NotFound : failure();
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
    KeyCall call(key, KEY_SET_VALUE);
    if (call.result != Success)
        return call.result;
    Statement st(call.db, "DELETE FROM vals WHERE key = ? AND lname = ?");
    st.bind(1, call.key.keyId).bind(2, name.toLower());
    if (st.step() != SQLITE_DONE)
        return failure();
    return sqlite3_changes(call.db) > 0 ? Success : NotFound;
}

long deleteKey(HKEY parent, const QString &subKey)
{
    ResetNotice notice;
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    OpenKey base;
    if (!resolveHandle(parent, &base))
        return InvalidHandle;
    if (isReadOnly(base.root))
        return AccessDenied;
    const QStringList parts = segments(subKey);
    if (parts.isEmpty())
        return InvalidParameter;
    sqlite3 *db = s.database.get(true);
    if (!db)
        return failure();
    if (!s.database.writable())
        return AccessDenied;
    Transaction transaction(db);
    if (!transaction.ok())
        return failure();
    qint64 id = base.keyId;
    for (const QString &part : parts) {
        if (const long found = findChildKey(db, id, part, &id); found != Success)
            return found;
    }
    if (hasSubKeys(db, id))
        return AccessDenied;
    Statement delValues(db, "DELETE FROM vals WHERE key = ?");
    delValues.bind(1, id);
    Statement delKey(db, "DELETE FROM keys WHERE id = ?");
    delKey.bind(1, id);
    if (delValues.step() != SQLITE_DONE || delKey.step() != SQLITE_DONE || !transaction.commit())
        return failure();
    return Success;
}

long enumKey(HKEY key, std::uint32_t index, QString *name)
{
    KeyCall call(key, 0);
    if (call.result != Success)
        return call.result;
    Statement st(call.db, "SELECT name FROM keys WHERE parent = ? ORDER BY lname LIMIT 1 OFFSET ?");
    st.bind(1, call.key.keyId).bind(2, qint64(index));
    if (const int result = st.step(); result != SQLITE_ROW)
        return result == SQLITE_DONE ? NoMoreItems : failure();
    if (name)
        *name = st.text(0);
    return Success;
}

}
