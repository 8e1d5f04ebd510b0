#include "AssocNotify.h"

#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace AssocNotify {

namespace {

const QString kDesktopId = QStringLiteral("quillmere.desktop");
const QString kDefaultGroup = QStringLiteral("[Default Applications]");

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

QString progIdOf(const ExtensionType &type)
{
    return QStringLiteral("Quillmere") + QLatin1String(type.extension);
}

// A string value of the store, up to its first NUL; "" for anything else.
QString readString(const QString &keyPath)
{
    HKEY key = 0;
    if (Registry::openKey(HKEY_CLASSES_ROOT, keyPath, Registry::KEY_READ, &key) != Registry::Success)
        return QString();
    QString text;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (Registry::queryValue(key, QString(), &type, nullptr, &size) == Registry::Success
        && (type == Registry::REG_SZ || type == Registry::REG_EXPAND_SZ)) {
        QByteArray bytes(int(size), '\0');
        if (Registry::queryValue(key, QString(), nullptr, bytes.data(), &size) == Registry::Success) {
            const int nul = bytes.indexOf('\0');
            text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
        }
    }
    Registry::closeKey(key);
    return text;
}

// The program named by an open command "program %1".
QString programOf(const QString &command)
{
    const int argument = command.lastIndexOf(QStringLiteral(" %1"));
    return (argument < 0 ? command : command.left(argument)).trimmed();
}

// What the registry store says about the program's types.
struct Registration {
    QString program;              // from the first registered type's open command
    QString icon;
    QStringList mimeTypes;        // of every registered type
    QStringList associatedTypes;  // of the types whose extension points here
};

Registration readRegistration()
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
        if (!reg.mimeTypes.contains(mime))
            reg.mimeTypes << mime;
        if (readString(QLatin1String(type.extension)) == progId && !reg.associatedTypes.contains(mime))
            reg.associatedTypes << mime;
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
                                  "Name=Quillmere\n");
    text += QStringLiteral("Exec=") + escapeValue(execArgument(reg.program) + QStringLiteral(" %f")) + '\n';
    if (!reg.icon.isEmpty())
        text += QStringLiteral("Icon=") + escapeValue(reg.icon) + '\n';
    text += QStringLiteral("MimeType=") + reg.mimeTypes.join(';') + QStringLiteral(";\n");
    text += QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

bool isGroupHeader(const QString &line)
{
    return line.trimmed().startsWith(QLatin1Char('['));
}

// The user's mimeapps.list, edited line by line so that everything that is
// not ours stays exactly as written.
class MimeAppsList {
public:
    explicit MimeAppsList(const QByteArray &content)
    {
        m_lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
        if (!m_lines.isEmpty() && m_lines.last().isEmpty())
            m_lines.removeLast();     // the final line break
        // A list written with CR LF keeps them on the lines we write.
        m_lineEnd = !m_lines.isEmpty() && m_lines.first().endsWith(QLatin1Char('\r')) ? QStringLiteral("\r")
                                                                                        : QString();
    }

    QByteArray content() const
    {
        return m_lines.isEmpty() ? QByteArray() : (m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    }

    // Puts us first in the type's list of defaults; the others stay after
    // us and come back into force when we leave.
    void makeDefault(const QString &mimeType)
    {
        const QList<int> lines = entryLines(mimeType);
        if (lines.isEmpty()) {
            appendLine(entryLine(mimeType, {kDesktopId}));
            return;
        }
        QStringList ids = idsOf(m_lines[lines.first()]);
        if (ids.value(0) == kDesktopId)
            return;
        ids.removeAll(kDesktopId);
        ids.prepend(kDesktopId);
        m_lines[lines.first()] = entryLine(mimeType, ids);
    }

    // Takes us out of the type's defaults; a line left empty goes. Lines
    // that do not name us are not touched.
    void removeDefault(const QString &mimeType)
    {
        const QList<int> lines = entryLines(mimeType);
        for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
            QStringList ids = idsOf(m_lines[*it]);
            if (!ids.contains(kDesktopId))
                continue;
            ids.removeAll(kDesktopId);
            if (ids.isEmpty())
                m_lines.removeAt(*it);
            else
                m_lines[*it] = entryLine(mimeType, ids);
        }
    }

private:
    QString entryLine(const QString &mimeType, const QStringList &ids) const
    {
        return mimeType + QLatin1Char('=') + ids.join(QLatin1Char(';')) + QLatin1Char(';') + m_lineEnd;
    }

    static QStringList idsOf(const QString &line)
    {
        QStringList ids;
        for (const QString &id : line.mid(line.indexOf(QLatin1Char('=')) + 1).split(QLatin1Char(';')))
            if (!id.trimmed().isEmpty())
                ids << id.trimmed();
        return ids;
    }

    // The lines of the default group that give the type's defaults.
    QList<int> entryLines(const QString &mimeType) const
    {
        QList<int> found;
        const int start = groupStart();
        if (start < 0)
            return found;
        for (int line = start + 1; line < m_lines.size() && !isGroupHeader(m_lines[line]); ++line) {
            const QString &text = m_lines[line];
            const int eq = text.indexOf(QLatin1Char('='));
            if (eq > 0 && text.left(eq).trimmed() == mimeType)
                found << line;
        }
        return found;
    }

    int groupStart() const
    {
        for (int i = 0; i < m_lines.size(); ++i)
            if (m_lines[i].trimmed() == kDefaultGroup)
                return i;
        return -1;
    }

    void appendLine(const QString &entry)
    {
        int line = groupStart();
        if (line < 0) {
            if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
                m_lines << m_lineEnd;
            m_lines << kDefaultGroup + m_lineEnd << entry;
            return;
        }
        // After the group's last entry, before the blank lines that part it
        // from the next group.
        int end = line + 1;
        while (end < m_lines.size() && !isGroupHeader(m_lines[end]))
            ++end;
        while (end > line + 1 && m_lines[end - 1].trimmed().isEmpty())
            --end;
        m_lines.insert(end, entry);
    }

    QStringList m_lines;
    QString m_lineEnd;
};

bool writeIfChanged(const QString &path, const QByteArray &content)
{
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return false;
        if (current.readAll() == content)
            return true;
        current.close();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

void updateDefaults(const Registration &reg)
{
    const QString path = mimeAppsListPath();
    QByteArray content;
    QFile file(path);
    if (file.exists()) {
        // A list we cannot read is left alone rather than replaced.
        if (!file.open(QIODevice::ReadOnly))
            return;
        content = file.readAll();
        file.close();
    } else if (reg.associatedTypes.isEmpty()) {
        return;
    }
    MimeAppsList list(content);
    for (const ExtensionType &type : kTypes) {
        const QString mime = QLatin1String(type.mimeType);
        if (reg.associatedTypes.contains(mime))
            list.makeDefault(mime);
        else
            list.removeDefault(mime);
    }
    writeIfChanged(path, list.content());
}

void syncDesktop()
{
    Registration reg = readRegistration();
    if (reg.program.isEmpty()) {
        QFile::remove(desktopEntryPath());
        reg.associatedTypes.clear();    // no entry for a default to name
    } else if (!writeIfChanged(desktopEntryPath(), desktopEntry(reg))) {
        reg.associatedTypes.clear();
    }
    updateDefaults(reg);
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

void SHChangeNotify(long eventId, unsigned flags, const void *item1, const void *item2)
{
    Q_UNUSED(flags);
    Q_UNUSED(item1);
    Q_UNUSED(item2);
    if (eventId & SHCNE_ASSOCCHANGED)
        syncDesktop();
}

}
