#pragma once
// The registry: a durable store of keys and typed values under three roots,
// kept in an SQLite database under the program's data folder. Key names are
// compared without regard to letter case; values keep their raw bytes and
// type. Results are the codes of Result: 0 success, 2 not found, 5 access
// denied. A database this user cannot write (a read-only file or folder, a
// full disk) is still read, and everything that would write to it is
// denied access, as for a read-only root. A lock another program holds is
// waited for a little, and no longer once a wait has run out, until a call
// gets through; the call fails meanwhile (Failure, never NotFound). A
// damaged database is kept aside, a fresh one takes its place, and the user
// is told once; when it cannot be kept aside the user is told that too.
// Nothing here ends the program.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

using HKEY = std::uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

namespace Registry {

enum Result : long {
    Success = 0,
    NotFound = 2,
    AccessDenied = 5,
    InvalidHandle = 6,
    Failure = 13,          // the store could not be read or written
    InvalidParameter = 87,
    MoreData = 234,
    NoMoreItems = 259
};

enum ValueType : std::uint32_t {
    REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7
};

enum Access : std::uint32_t {
    KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F
};

// Where the store lives; by default "registry.db" in the program's data
// folder. Closes the current database.
void setDatabasePath(const QString &path);
QString databasePath();

enum class StoreState {
    Ready,        // read and written as usual
    ReadOnly,     // this user can read it but not write it
    InUse,        // another program holds it: writing would wait on that program
    Unavailable   // it cannot be opened at all
};
// Opens the store at start-up, waiting for a lock another program holds at
// most waitMs in all.
StoreState openStore(int waitMs);
// From now on the store is only read: nothing is written, whatever the
// roots, and the store is opened once, without waiting for it.
void keepReadOnly();
bool keptReadOnly();

// Tells whether any call since it was made failed because the store could
// not be read or written (not for a key or value that is simply missing),
// so that a failed read is not taken for a value.
class FailureWatch {
public:
    FailureWatch();
    bool failed() const;
private:
    quint64 m_start;
};

// Makes a root read-only for this process: opening it (or a key below it)
// for anything but reading gives AccessDenied, and so does every write.
void setRootReadOnly(HKEY root, bool readOnly);

// Key handles. A root is a handle of its own and needs no opening.
long openKey(HKEY parent, const QString &subKey, std::uint32_t access, HKEY *result);
// Opens the key, creating it and every missing key on its path.
long createKey(HKEY parent, const QString &subKey, std::uint32_t access, HKEY *result);
long closeKey(HKEY key);

// Reads a value ("" names the default value). With data null only the type
// and size are reported; otherwise *size is the buffer's capacity on entry
// and the data's size on return (MoreData when the buffer is too small).
long queryValue(HKEY key, const QString &name, std::uint32_t *type, char *data, std::uint32_t *size);
// Writes a value. For the string types a terminating NUL is stored after
// the counted bytes when they do not end with one (readers take a string's
// last byte for its terminator); a count of 0 stores no data at all.
long setValue(HKEY key, const QString &name, std::uint32_t type, const char *data, std::uint32_t size);
// Stores exactly the given bytes, with no terminator added (another writer).
long setValueRaw(HKEY key, const QString &name, std::uint32_t type, const QByteArray &bytes);
long deleteValue(HKEY key, const QString &name);
// Deletes the subkey, which must have no subkeys of its own.
long deleteKey(HKEY parent, const QString &subKey);
// The name of subkey index (0-based) in a stable order (by name, letter
// case ignored); NoMoreItems past the last.
long enumKey(HKEY key, std::uint32_t index, QString *name);

}
