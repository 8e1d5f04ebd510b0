#pragma once
// The program's command line: how it is read and what it asks for.

#include <QString>
#include <QStringList>

namespace CommandLine {

inline const QString AssociateSwitch = QStringLiteral("/Associate");
inline const QString DeAssociateSwitch = QStringLiteral("/DeAssociate");

enum class Switch { None, Associate, DeAssociate };

// The arguments as one line, joined by single blanks, nothing trimmed.
QString join(const QStringList &arguments);
// The switch the whole line is, compared exactly (letter case counts).
Switch switchOf(const QString &commandLine);
// The index of the first entry equal to item (letter case counts); 0 when
// none is.
int IndexOf(const QStringList &list, const QString &item);
// A relative path taken against the current folder; an absolute path as it is.
QString absolutePath(const QString &path);

}
