#pragma once
// Where the system-information tool lives, as the registry records it.

#include "Registry.h"

#include <QString>

namespace SystemInfoTool {
// Reads a value's text under the key. REG_SZ gives the text without its
// closing NUL; REG_DWORD gives "&h" and the number in hexadecimal; another
// type leaves KeyVal as it was. False (and KeyVal "") when the key or the
// value cannot be read.
bool GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal);
// The tool's path: the "PATH" value of the MSINFO key; else, when the
// "MSINFO" value of the tools-location key names a folder holding
// MSINFO32.EXE, that file. "" when neither is there.
QString programPath();
}
