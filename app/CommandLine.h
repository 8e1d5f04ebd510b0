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
// The path taken against the current folder when relative, with "//", "./"
// and "../" resolved, so that it spells the file as the folder listing does.
QString absolutePath(const QString &path);
// Why the file named on the command line cannot be opened, as a sentence for
// the user; "" when nothing stands in the way, or the path names nothing
// (which opens nothing, without a word). A folder is no fault here.
QString whyUnreadable(const QString &path);

}
