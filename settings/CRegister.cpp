#include "CRegister.h"

#include "SettingsLog.h"

#include <QStringDecoder>
#include <vector>

namespace {

// Stored text is in the system's narrow encoding (UTF-8 here). Bytes that
// are not valid UTF-8, such as a number stored under the name, come back
// one character per byte.
QString fromStoredBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

}

QString CRegister::TrimBackslashes(const QString &section)
{
    QString s = section;
    if (s.startsWith(QLatin1Char('\\')))
        s.remove(0, 1);
    if (s.endsWith(QLatin1Char('\\')))
        s.chop(1);
    return s;
}

QString CRegister::valueName(const QString &sKey)
{
    return sKey == QLatin1String("*") ? QString() : sKey;
}

bool CRegister::REGDeleteSetting(HKEY regHKEY, const QString &sSection, const QString &sKey)
{
    HKEY key = 0;
    bool deleted = false;
    if (!sKey.isEmpty()) {
        if (Registry::openKey(regHKEY, TrimBackslashes(sSection), Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
            return false;
        deleted = Registry::deleteValue(key, valueName(sKey)) == Registry::Success;
    } else {
        if (Registry::openKey(regHKEY, QString(), Registry::KEY_ALL_ACCESS, &key) != Registry::Success)
            return false;
        deleted = Registry::deleteKey(key, sSection) == Registry::Success;
    }
    Registry::closeKey(key);
    return deleted;
}

QString CRegister::REGGetSetting(HKEY regHKEY, const QString &sSection, const QString &sKey, const QString &sDefault)
{
    QString result = sDefault;
    const QString section = TrimBackslashes(sSection);
    HKEY key = 0;
    long opened = Registry::openKey(regHKEY, section, Registry::KEY_ALL_ACCESS, &key);
    if (opened == Registry::AccessDenied)
        opened = Registry::openKey(regHKEY, section, Registry::KEY_READ, &key);
    if (opened != Registry::Success)
        return result;

    const QString name = valueName(sKey);
    std::uint32_t size = 0;
    if (Registry::queryValue(key, name, nullptr, nullptr, &size) == Registry::Success && size > 0) {
        std::vector<char> buffer(size, ' ');
        std::uint32_t capacity = size;
        if (Registry::queryValue(key, name, nullptr, buffer.data(), &capacity) == Registry::Success) {
            // The last stored byte is taken for the terminator and dropped,
            // whatever the value's type.
            result = fromStoredBytes(QByteArray(buffer.data(), int(size - 1)));
        }
    }
    Registry::closeKey(key);
    return result;
}

bool CRegister::REGSaveSetting(HKEY regHKEY, const QString &sSection, const QString &sKey, const QString &sValue)
{
    HKEY key = 0;
    long written = Registry::createKey(regHKEY, TrimBackslashes(sSection), Registry::KEY_ALL_ACCESS, &key);
    if (written == Registry::Success) {
        const QByteArray bytes = sValue.toUtf8();
        written = Registry::setValue(key, valueName(sKey), Registry::REG_SZ, bytes.constData(),
                                     std::uint32_t(bytes.size()));
        Registry::closeKey(key);
    }
    if (written != Registry::Success)
        qCWarning(lcSettings, "Cannot save \"%s\" under %s in the store %s", qUtf8Printable(sKey),
                  qUtf8Printable(sSection), qUtf8Printable(Registry::databasePath()));
    return written == Registry::Success;
}

QStringList CRegister::GetAllKeys(HKEY hKey, const QString &strPath)
{
    QStringList names;
    HKEY key = 0;
    Registry::openKey(hKey, strPath, Registry::KEY_READ, &key);
    for (std::uint32_t i = 0;; ++i) {
        QString name;
        if (Registry::enumKey(key, i, &name) != Registry::Success)
            break;
        // A name that does not fit the 255-character buffer ends the listing.
        if (name.toUtf8().size() > 254)
            break;
        names << name.section(QChar(0), 0, 0);
    }
    Registry::closeKey(key);
    return names;
}
