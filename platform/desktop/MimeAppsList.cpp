#include "MimeAppsList.h"

namespace {

const QByteArray kDefaultGroup = "[Default Applications]";

bool isGroupHeader(const QByteArray &line)
{
    return line.trimmed().startsWith('[');
}

}

MimeAppsList::MimeAppsList(const QByteArray &content)
{
    m_lines = content.split('\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();     // the final line break
    // A list written with CR LF keeps them on the lines we write.
    if (!m_lines.isEmpty() && m_lines.first().endsWith('\r'))
        m_lineEnd = "\r";
}

QByteArray MimeAppsList::content() const
{
    return m_lines.isEmpty() ? QByteArray() : m_lines.join('\n') + '\n';
}

QStringList MimeAppsList::defaults(const QString &mimeType) const
{
    QStringList ids;
    const QList<int> lines = entryLines(mimeType.toUtf8());
    if (!lines.isEmpty())
        for (const QByteArray &id : idsOf(m_lines[lines.first()]))
            ids << QString::fromUtf8(id);
    return ids;
}

bool MimeAppsList::hasDefaults(const QString &mimeType) const
{
    return !defaults(mimeType).isEmpty();
}

QByteArray MimeAppsList::makeDefault(const QString &mimeType, const QString &desktopId)
{
    const QByteArray type = mimeType.toUtf8();
    const QByteArray id = desktopId.toUtf8();
    const QList<int> lines = entryLines(type);
    if (lines.isEmpty()) {
        appendLine(entryLine(type, {id}));
        return QByteArray();
    }
    QByteArray &line = m_lines[lines.first()];
    const Ids ids = idsOf(line);
    if (ids.value(0) == id)
        return QByteArray();
    const QByteArray replaced = line;
    line = entryLine(type, withFirst(ids, id));
    return replaced;
}

void MimeAppsList::removeDefault(const QString &mimeType, const QString &desktopId, const QByteArray &replaced)
{
    const QByteArray type = mimeType.toUtf8();
    const QByteArray id = desktopId.toUtf8();
    const QByteArray made = replaced.isEmpty() ? QByteArray() : entryLine(type, withFirst(idsOf(replaced), id));
    const QList<int> lines = entryLines(type);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        Ids ids = idsOf(m_lines[*it]);
        if (!ids.contains(id))
            continue;
        if (!made.isEmpty() && m_lines[*it] == made) {
            m_lines[*it] = replaced;
            continue;
        }
        ids.removeAll(id);
        if (ids.isEmpty())
            m_lines.removeAt(*it);
        else
            m_lines[*it] = entryLine(type, ids);
    }
}

QByteArray MimeAppsList::entryLine(const QByteArray &mimeType, const Ids &ids) const
{
    return mimeType + '=' + ids.join(';') + ';' + m_lineEnd;
}

MimeAppsList::Ids MimeAppsList::idsOf(const QByteArray &line)
{
    Ids ids;
    for (const QByteArray &id : line.mid(line.indexOf('=') + 1).split(';'))
        if (!id.trimmed().isEmpty())
            ids << id.trimmed();
    return ids;
}

MimeAppsList::Ids MimeAppsList::withFirst(Ids ids, const QByteArray &id)
{
    ids.removeAll(id);
    ids.prepend(id);
    return ids;
}

// The lines of the default group that give the type's defaults.
QList<int> MimeAppsList::entryLines(const QByteArray &mimeType) const
{
    QList<int> found;
    const int start = groupStart();
    if (start < 0)
        return found;
    for (int line = start + 1; line < m_lines.size() && !isGroupHeader(m_lines[line]); ++line) {
        const QByteArray &text = m_lines[line];
        const int eq = text.indexOf('=');
        if (eq > 0 && text.left(eq).trimmed() == mimeType)
            found << line;
    }
    return found;
}

int MimeAppsList::groupStart() const
{
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].trimmed() == kDefaultGroup)
            return i;
    return -1;
}

void MimeAppsList::appendLine(const QByteArray &entry)
{
    const int line = groupStart();
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
