#include "ModAssoc.h"

#include "AppPaths.h"
#include "AssocNotify.h"
#include "AssociationLog.h"
#include "WinFiles.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace ModAssoc {

namespace {

const QString kFileExts = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\");
const QString kProgramFileName = QStringLiteral("qmr");

// Stored text is in the system's narrow encoding (UTF-8 here). Bytes that
// are not valid UTF-8 come back one character per byte rather than lost.
QString fromStoredBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QByteArray upToFirstNul(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

// The user's Explorer choice for an extension lives here.
QString fileExtsKey(const QString &extension)
{
    return kFileExts + extension;
}

QString commandPath()
{
    return GetShortPath(GetAppPath() + kProgramFileName);
}

// The desktop is told which type changed, so that it changes that one alone.
void notifyShell(const QString &extension)
{
    AssocNotify::SHChangeNotify(AssocNotify::SHCNE_ASSOCCHANGED, AssocNotify::SHCNF_EXTENSION, &extension, nullptr);
}

// The program that opens the extension's files. The desktop's default
// decides when it names another program (one the user chose elsewhere);
// otherwise the stored value does.
QString handlerOf(const QString &extension, HKEY root, const QString &keyPath, const QString &valueName)
{
    const QString other = AssocNotify::otherDefault(extension);
    return other.isEmpty() ? GetString(root, keyPath, valueName, QString()) : other;
}

bool valueExists(HKEY root, const QString &keyPath, const QString &valueName)
{
    HKEY key = 0;
    if (Registry::openKey(root, keyPath, Registry::KEY_READ, &key) != Registry::Success)
        return false;
    const bool found = Registry::queryValue(key, valueName, nullptr, nullptr, nullptr) == Registry::Success;
    Registry::closeKey(key);
    return found;
}

// A kept value that names the handler in force already is what an
// association cut short before it pointed the type here leaves behind: an
// undo has nothing to put back with it, so it goes.
void clearLeftover(const QString &extension, HKEY root, const QString &keyPath, const QString &keptName,
                   const QString &currentName)
{
    Registry::FailureWatch watch;
    if (!valueExists(root, keyPath, keptName))
        return;
    const QString kept = GetString(root, keyPath, keptName, QString());
    if (kept == handlerOf(extension, root, keyPath, currentName) && !watch.failed())
        DeleteValue(root, keyPath, keptName);
}

}

void DeleteKey(HKEY root, const QString &keyPath)
{
    Registry::deleteKey(root, keyPath);
}

void DeleteValue(HKEY root, const QString &keyPath, const QString &valueName)
{
    HKEY key = 0;
    if (Registry::openKey(root, keyPath, Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
        return;
    Registry::deleteValue(key, valueName);
    Registry::closeKey(key);
}

void SaveString(HKEY root, const QString &keyPath, const QString &valueName, const QString &text)
{
    HKEY key = 0;
    if (Registry::createKey(root, keyPath, Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
        return;
    // The count is in bytes, so text outside ASCII is stored whole.
    const QByteArray bytes = text.toUtf8();
    Registry::setValue(key, valueName, Registry::REG_SZ, bytes.constData(), std::uint32_t(bytes.size()));
    Registry::closeKey(key);
}

QString GetString(HKEY root, const QString &keyPath, const QString &valueName, const QString &defaultText)
{
    QString result = defaultText;
    HKEY key = 0;
    if (Registry::openKey(root, keyPath, Registry::KEY_READ, &key) != Registry::Success)
        return result;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (Registry::queryValue(key, valueName, &type, nullptr, &size) == Registry::Success
        && (type == Registry::REG_SZ || type == Registry::REG_EXPAND_SZ)) {
        QByteArray buffer(int(size), ' ');
        std::uint32_t capacity = size;
        // A value that grew between the two reads would leave only blanks
        // in the buffer; keep the default then.
        if (Registry::queryValue(key, valueName, nullptr, buffer.data(), &capacity) == Registry::Success) {
            result = fromStoredBytes(upToFirstNul(buffer));
            if (type == Registry::REG_EXPAND_SZ)
                result = TrimNull(ExpandEnvStr(result));
        }
    }
    Registry::closeKey(key);
    return result;
}

QString ExpandEnvStr(const QString &text)
{
    // The expansion reads the text as a C string: it ends at the first NUL.
    return WinFiles::expandEnvironmentStrings(TrimNull(text));
}

QString TrimNull(const QString &text)
{
    const int nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString GetShortPath(const QString &longPath)
{
    return WinFiles::shortPath(longPath);
}

QString GetAppPath()
{
    QString path = AppPaths::programFolder();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

bool PathExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    // Every mounted volume counts, however many there are.
    if (WinFiles::driveRoots().contains(path))
        return true;
    // No wildcard matching: "*.*" names no file.
    return QFileInfo::exists(path);
}

long IsAssociated(const QString &extension, const QString &progId)
{
    return handlerOf(extension, HKEY_CLASSES_ROOT, extension, QString()) == progId ? 1 : 0;
}

void CreateProgID(const QString &progId, const QString &description, const QString &verb, const QString &iconPath)
{
    // A key named after the description that points at the identifier is
    // left over from an older registration.
    if (GetString(HKEY_CLASSES_ROOT, description, QString(), QString()) == progId)
        DeleteKey(HKEY_CLASSES_ROOT, description);

    const QString shell = progId + QStringLiteral("\\shell");
    const QString verbKey = shell + QLatin1Char('\\') + verb;
    SaveString(HKEY_CLASSES_ROOT, progId, QString(), description);
    SaveString(HKEY_CLASSES_ROOT, shell, QString(), QString());
    SaveString(HKEY_CLASSES_ROOT, verbKey, QString(), QString());
    SaveString(HKEY_CLASSES_ROOT, verbKey + QStringLiteral("\\command"), QString(),
               commandPath() + QStringLiteral(" %1"));
    SaveString(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\DefaultIcon"), QString(),
               iconPath.isEmpty() ? commandPath() : iconPath);
}

// Both handlers to restore are kept before anything points the type here,
// and both are put back before either kept value goes: a program ended
// anywhere in between leaves a state that the next undo puts right.
void Associate(const QString &extension, const QString &progId)
{
    Registry::FailureWatch watch;
    const QString oldHandler = handlerOf(extension, HKEY_CLASSES_ROOT, extension, QString());
    if (oldHandler == progId)
        return;     // associated already
    const QString userKey = fileExtsKey(extension);
    const QString oldChoice = handlerOf(extension, HKEY_CURRENT_USER, userKey, QStringLiteral("ProgID"));
    if (watch.failed()) {
        qCWarning(lcAssociation) << "the handler of" << extension << "could not be read; not associated";
        return;
    }
    SaveString(HKEY_CLASSES_ROOT, extension, QStringLiteral("OldAss"), oldHandler);
    // When the user's choice already names us (an earlier attempt whose
    // system-wide write was refused), the value kept from before that
    // attempt is the one to restore; our own identifier never is.
    if (oldChoice != progId)
        SaveString(HKEY_CURRENT_USER, userKey, QStringLiteral("OldProgID"), oldChoice);
    SaveString(HKEY_CLASSES_ROOT, extension, QString(), progId);
    SaveString(HKEY_CURRENT_USER, userKey, QStringLiteral("ProgID"), progId);
    notifyShell(extension);
}

void DeAssociate(const QString &extension, const QString &progId)
{
    Registry::FailureWatch watch;
    const QString userKey = fileExtsKey(extension);
    if (IsAssociated(extension, progId) == 0) {
        if (!watch.failed()) {
            clearLeftover(extension, HKEY_CLASSES_ROOT, extension, QStringLiteral("OldAss"), QString());
            clearLeftover(extension, HKEY_CURRENT_USER, userKey, QStringLiteral("OldProgID"),
                          QStringLiteral("ProgID"));
        }
        return;
    }
    const QString oldHandler = GetString(HKEY_CLASSES_ROOT, extension, QStringLiteral("OldAss"), QString());
    const QString oldChoice = GetString(HKEY_CURRENT_USER, userKey, QStringLiteral("OldProgID"), QString());
    if (watch.failed()) {
        qCWarning(lcAssociation) << "the handlers kept for" << extension << "could not be read; left associated";
        return;
    }
    SaveString(HKEY_CURRENT_USER, userKey, QStringLiteral("ProgID"), oldChoice);
    SaveString(HKEY_CLASSES_ROOT, extension, QString(), oldHandler);
    DeleteValue(HKEY_CURRENT_USER, userKey, QStringLiteral("OldProgID"));
    DeleteValue(HKEY_CLASSES_ROOT, extension, QStringLiteral("OldAss"));
    notifyShell(extension);
}

}
