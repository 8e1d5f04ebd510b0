#pragma once
// Registry and path primitives, and the registration of the program as the
// handler of a file extension. Nothing here raises or shows a message:
// writes and deletions that the store refuses go unnoticed, reads fall
// back to their default. Every key opened is closed before returning.

#include "Registry.h"

#include <QString>

namespace ModAssoc {

// Registry primitives; "" as value name is the key's default value.
void DeleteKey(HKEY root, const QString &keyPath);
void DeleteValue(HKEY root, const QString &keyPath, const QString &valueName);
// Creates every missing key on the path.
void SaveString(HKEY root, const QString &keyPath, const QString &valueName, const QString &text);
// A REG_SZ or REG_EXPAND_SZ value up to its first NUL (the latter with its
// environment references expanded); the default for anything else.
QString GetString(HKEY root, const QString &keyPath, const QString &valueName, const QString &defaultText);

// Path and text helpers.
QString ExpandEnvStr(const QString &text);
QString TrimNull(const QString &text);
// "" when the path does not exist.
QString GetShortPath(const QString &longPath);
// The program's folder, always ending with "/".
QString GetAppPath();
// A mounted volume's root, or any existing file or folder.
bool PathExists(const QString &path);

// Registration. The program identifier gets a description, an open command
// and an icon; the extension is pointed at it (system-wide and in the
// user's Explorer choice), keeping the replaced values for DeAssociate.
// Neither acts on a handler that could not be read. DeAssociate of a type
// that does not point here clears kept values that name the handler in
// force already (left by an association cut short).
void CreateProgID(const QString &progId, const QString &description, const QString &verb, const QString &iconPath);
void Associate(const QString &extension, const QString &progId);
void DeAssociate(const QString &extension, const QString &progId);
// 1 when the extension's handler is exactly the identifier, else 0: the
// desktop's default when it names another program, else the stored value.
long IsAssociated(const QString &extension, const QString &progId);

}
