#pragma once
// The program's store of string settings in the registry. It holds no
// state: every call opens the key it needs and closes it before returning.

#include "Registry.h"

#include <QString>
#include <QStringList>

class CRegister {
public:
    // Deletes the value sKey of the section, or, when sKey is empty, the key
    // named by the section exactly as passed. True when it was deleted.
    bool REGDeleteSetting(HKEY regHKEY, const QString &sSection, const QString &sKey = QString());
    // The value's text, or sDefault when it cannot be read. "*" names the
    // key's default value.
    QString REGGetSetting(HKEY regHKEY, const QString &sSection, const QString &sKey,
                          const QString &sDefault = QString());
    // Creates the section when missing and stores sValue as a string.
    bool REGSaveSetting(HKEY regHKEY, const QString &sSection, const QString &sKey, const QString &sValue);
    // The names of the direct subkeys of strPath, in the store's order.
    QStringList GetAllKeys(HKEY hKey, const QString &strPath);

private:
    static QString TrimBackslashes(const QString &section);
    static QString valueName(const QString &sKey);
};
