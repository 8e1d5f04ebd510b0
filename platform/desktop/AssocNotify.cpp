#include "AssocNotify.h"

#include "DesktopDatabase.h"
#include "DesktopDefaults.h"
#include "DesktopLog.h"
#include "MimeAppsList.h"
#include "Registry.h"
#include "SmallFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <functional>

namespace AssocNotify {

namespace {

const QString kDesktopId = QStringLiteral("quillmere.desktop");
// Where the lines of the user's lists that a claim rewrote are kept, by
// type, each under the list's path, for the release to put back.
const QString kReplacedLines = QStringLiteral("Software\\Brindlecove\\Quillmere\\Replaced mimeapps lines\\");

struct ExtensionType {
    const char *extension;
    const char *mimeType;
};

// The extensions the program registers for, in registration order.
constexpr ExtensionType kTypes[] = {
    {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".gif", "image/gif"},
    {".bmp", "image/bmp"}, {".dib", "image/bmp"}, {".png", "image/png"},
    {".psd", "image/vnd.adobe.photoshop"}, {".tif", "image/tiff"},
    {".pcx", "image/vnd.zbrush.pcx"}, {".tga", "image/x-tga"},
    {".wbmp", "image/vnd.wap.wbmp"}, {".wmf", "image/wmf"},
    {".ico", "image/vnd.microsoft.icon"}, {".emf", "image/emf"},
    {".tla", "image/x-tla"},
};

QString progIdOf(const QString &extension)
{
    return QStringLiteral("Quillmere") + extension;
}

QString progIdOf(const ExtensionType &type)
{
    return progIdOf(QLatin1String(type.extension));
}

// A value's bytes and type; "" with REG_NONE when it cannot be read.
QByteArray readValue(HKEY root, const QString &keyPath, const QString &name, std::uint32_t *type)
{
    *type = Registry::REG_NONE;
    HKEY key = 0;
    if (Registry::openKey(root, keyPath, Registry::KEY_READ, &key) != Registry::Success)
        return QByteArray();
    QByteArray bytes;
    std::uint32_t size = 0;
    if (Registry::queryValue(key, name, type, nullptr, &size) == Registry::Success) {
        bytes.resize(int(size));
        if (Registry::queryValue(key, name, nullptr, bytes.data(), &size) != Registry::Success) {
            bytes.clear();
            *type = Registry::REG_NONE;
        }
    }
    Registry::closeKey(key);
    return bytes;
}

// A string value of the store, up to its first NUL; "" for anything else.
QString readString(const QString &keyPath)
{
    std::uint32_t type = 0;
    const QByteArray bytes = readValue(HKEY_CLASSES_ROOT, keyPath, QString(), &type);
    if (type != Registry::REG_SZ && type != Registry::REG_EXPAND_SZ)
        return QString();
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

// The program named by an open command "program %1".
QString programOf(const QString &command)
{
    const int argument = command.lastIndexOf(QStringLiteral(" %1"));
    return (argument < 0 ? command : command.left(argument)).trimmed();
}

QString mimeTypeOfExtension(const QString &extension)
{
    for (const ExtensionType &type : kTypes)
        if (extension == QLatin1String(type.extension))
            return QLatin1String(type.mimeType);
    return QString();
}

// True when the store points one of the type's extensions at us.
bool associatedInStore(const QString &mimeType)
{
    for (const ExtensionType &type : kTypes)
        if (mimeType == QLatin1String(type.mimeType) && readString(QLatin1String(type.extension)) == progIdOf(type))
            return true;
    return false;
}

// What the registry store says about the program's types.
struct Registration {
    QString program;              // from the first registered type's open command
    QString icon;
    QStringList mimeTypes;        // of the types we hold: ours in the store, and on the desktop
};

// The type being claimed counts as held, whatever the desktop says now.
Registration readRegistration(const QString &claimedType)
{
    Registration reg;
    for (const ExtensionType &type : kTypes) {
        const QString progId = progIdOf(type);
        const QString program = programOf(readString(progId + QStringLiteral("\\shell\\open\\command")));
        if (program.isEmpty())
            continue;     // never registered, or its command names no program
        if (reg.program.isEmpty()) {
            reg.program = program;
            reg.icon = readString(progId + QStringLiteral("\\DefaultIcon"));
        }
        const QString mime = QLatin1String(type.mimeType);
        if (readString(QLatin1String(type.extension)) == progId && !reg.mimeTypes.contains(mime)
            && (mime == claimedType || otherDefault(QLatin1String(type.extension)).isEmpty()))
            reg.mimeTypes << mime;
    }
    return reg;
}

// Escapes for a desktop entry's string values.
QString escapeValue(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

// One argument of an Exec line, quoted when it holds a reserved character.
QString execArgument(const QString &argument)
{
    QString arg = argument;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return arg;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QByteArray desktopEntry(const Registration &reg)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Quillmere\n"
                                  "Categories=Graphics;Viewer;\n");
    text += QStringLiteral("Exec=") + escapeValue(execArgument(reg.program) + QStringLiteral(" %f")) + '\n';
    if (!reg.icon.isEmpty())
        text += QStringLiteral("Icon=") + escapeValue(reg.icon) + '\n';
    text += QStringLiteral("MimeType=") + reg.mimeTypes.join(';') + QStringLiteral(";\n");
    text += QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

// Applies an edit to one of the user's lists. A list we cannot read is
// left alone rather than replaced; a missing one is made only when asked.
// True when the list is as the edit left it.
bool editList(const QString &path, bool create, const std::function<void(MimeAppsList &)> &edit)
{
    QByteArray content;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcDesktop) << "cannot read" << path << file.errorString();
            return false;
        }
        content = file.readAll();
        file.close();
    } else if (!create) {
        return true;
    }
    MimeAppsList list(content);
    edit(list);
    return SmallFile::writeIfChanged(path, list.content());   // which says why it could not
}

QByteArray replacedLine(const QString &mimeType, const QString &listPath)
{
    std::uint32_t type = 0;
    return readValue(HKEY_CURRENT_USER, kReplacedLines + mimeType, listPath, &type);
}

void keepReplacedLine(const QString &mimeType, const QString &listPath, const QByteArray &line)
{
    HKEY key = 0;
    if (Registry::createKey(HKEY_CURRENT_USER, kReplacedLines + mimeType, Registry::KEY_ALL_ACCESS, &key)
        != Registry::Success) {
        qCWarning(lcDesktop) << "cannot keep the line of" << listPath << "for" << mimeType;
        return;
    }
    Registry::setValueRaw(key, listPath, Registry::REG_BINARY, line);
    Registry::closeKey(key);
}

void forgetReplacedLine(const QString &mimeType, const QString &listPath)
{
    HKEY key = 0;
    if (Registry::openKey(HKEY_CURRENT_USER, kReplacedLines + mimeType, Registry::KEY_ALL_ACCESS, &key)
        != Registry::Success)
        return;
    Registry::deleteValue(key, listPath);
    Registry::closeKey(key);
}

// Makes us the type's default. The user's lists for the current desktop
// come before the general one, so a default there is overruled there. A
// line of theirs that this rewrites is kept, for the release to put back.
void claim(const QString &mimeType)
{
    for (const QString &path : DesktopDefaults::userListFiles())
        editList(path, path == mimeAppsListPath(), [&](MimeAppsList &list) {
            if (path != mimeAppsListPath() && !list.hasDefaults(mimeType))
                return;
            const QByteArray replaced = list.makeDefault(mimeType, kDesktopId);
            if (!replaced.isEmpty())
                keepReplacedLine(mimeType, path, replaced);
        });
}

void release(const QString &mimeType)
{
    for (const QString &path : DesktopDefaults::userListFiles()) {
        const QByteArray replaced = replacedLine(mimeType, path);
        if (editList(path, false, [&](MimeAppsList &list) { list.removeDefault(mimeType, kDesktopId, replaced); })
            && !replaced.isEmpty())
            forgetReplacedLine(mimeType, path);
    }
}

// The entry offers exactly the types we hold; without any it goes, so
// that nothing opens in the program by its registration.
bool updateEntry(const Registration &reg)
{
    const QString path = desktopEntryPath();
    bool present = false;
    bool changed = false;
    if (reg.program.isEmpty() || reg.mimeTypes.isEmpty())
        changed = QFile::remove(path);
    else
        present = SmallFile::writeIfChanged(path, desktopEntry(reg), &changed);
    if (changed)
        DesktopDatabase::refreshApplications(QFileInfo(path).absolutePath());
    return present;
}

const QByteArray kTlaPackage =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"image/x-tla\">\n"
    "    <comment>TLA image</comment>\n"
    "    <glob pattern=\"*.tla\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

// The desktop changes only for the type whose association changed: the
// choices the user made elsewhere for other types stay. Without one, the
// types the store no longer gives us are given up and none is claimed.
// Nothing is changed on what a store that could not be read seemed to say.
void syncDesktop(const QString &changedExtension)
{
    Registry::FailureWatch watch;
    const QString changedType = mimeTypeOfExtension(changedExtension);
    const bool claiming = !changedType.isEmpty() && readString(changedExtension) == progIdOf(changedExtension);
    const Registration reg = readRegistration(claiming ? changedType : QString());
    QStringList given;    // the types the store no longer gives us
    for (const ExtensionType &type : kTypes) {
        const QString mime = QLatin1String(type.mimeType);
        if ((changedType.isEmpty() || mime == changedType) && !given.contains(mime) && !associatedInStore(mime))
            given << mime;
    }
    const QString tlaExtension = QStringLiteral(".tla");
    const bool tla = !reg.program.isEmpty() && readString(tlaExtension) == progIdOf(tlaExtension);
    if (watch.failed()) {
        qCWarning(lcDesktop) << "the associations could not be read; the desktop's file types are left as they are";
        return;
    }
    const bool entry = updateEntry(reg);
    if (claiming && entry) {
        claim(changedType);
    } else if (!changedType.isEmpty()) {
        if (!entry || given.contains(changedType))
            release(changedType);
    } else {
        for (const ExtensionType &type : kTypes)
            if (!entry || given.contains(QLatin1String(type.mimeType)))
                release(QLatin1String(type.mimeType));
    }
    DesktopDatabase::setMimePackage(QStringLiteral("quillmere.xml"), tla ? kTlaPackage : QByteArray());
}

}

QString desktopEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/applications/") + kDesktopId;
}

QString mimeAppsListPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/mimeapps.list");
}

QString otherDefault(const QString &extension)
{
    const QString mimeType = mimeTypeOfExtension(extension);
    if (mimeType.isEmpty())
        return QString();
    const QString id = DesktopDefaults::defaultFor(mimeType, kDesktopId);
    return id == kDesktopId ? QString() : id;
}

void SHChangeNotify(long eventId, unsigned flags, const void *item1, const void *item2)
{
    Q_UNUSED(item2);
    if (!(eventId & SHCNE_ASSOCCHANGED))
        return;
    const bool named = (flags & SHCNF_EXTENSION) && item1;
    syncDesktop(named ? *static_cast<const QString *>(item1) : QString());
}

}
