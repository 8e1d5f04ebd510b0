#pragma once
// One mimeapps.list, edited line by line as bytes: everything that is not
// a line we change stays exactly as written, whatever its encoding.

#include <QByteArray>
#include <QList>
#include <QStringList>

class MimeAppsList {
public:
    explicit MimeAppsList(const QByteArray &content);
    QByteArray content() const;

    // The desktop IDs the default group gives for the type, in order.
    QStringList defaults(const QString &mimeType) const;
    bool hasDefaults(const QString &mimeType) const;
    // Puts the ID first in the type's defaults; the others stay after it
    // and come back into force when it leaves. Returns the line it
    // rewrote, as it was; "" when it added a line or changed nothing.
    QByteArray makeDefault(const QString &mimeType, const QString &desktopId);
    // Takes the ID out of the type's defaults; a line left empty goes.
    // Lines that do not name it are not touched. A line still as
    // makeDefault made it of `replaced` becomes `replaced` again, byte for
    // byte.
    void removeDefault(const QString &mimeType, const QString &desktopId, const QByteArray &replaced = {});

private:
    using Ids = QList<QByteArray>;
    QByteArray entryLine(const QByteArray &mimeType, const Ids &ids) const;
    static Ids idsOf(const QByteArray &line);
    static Ids withFirst(Ids ids, const QByteArray &id);
    QList<int> entryLines(const QByteArray &mimeType) const;
    int groupStart() const;
    void appendLine(const QByteArray &entry);

    QList<QByteArray> m_lines;
    QByteArray m_lineEnd;
};
