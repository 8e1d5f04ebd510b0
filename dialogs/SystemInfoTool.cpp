#include "SystemInfoTool.h"

#include <QFileInfo>
#include <QtEndian>

namespace SystemInfoTool {

namespace {

constexpr std::uint32_t kBufferSize = 1024;

// A string value's bytes end with the NUL the writer stored; it is not text.
QByteArray withoutClosingNul(QByteArray bytes)
{
    if (!bytes.isEmpty() && bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes;
}

// The number a REG_DWORD value holds, in hexadecimal without leading zeros.
QString dwordText(const QByteArray &bytes)
{
    char raw[4] = {0, 0, 0, 0};
    memcpy(raw, bytes.constData(), size_t(qMin<qsizetype>(4, bytes.size())));
    const quint32 value = qFromLittleEndian<quint32>(raw);
    return QStringLiteral("&h") + QString::number(value, 16).toUpper();
}

}

bool GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    HKEY key = 0;
    // Reading needs no more than read access: asking for full access would
    // fail for a user who may not change the machine's keys.
    if (Registry::openKey(KeyRoot, KeyName, Registry::KEY_READ, &key) != Registry::Success) {
        KeyVal.clear();
        return false;
    }
    QByteArray buffer(int(kBufferSize), '\0');
    std::uint32_t size = kBufferSize;
    std::uint32_t type = Registry::REG_NONE;
    const long result = Registry::queryValue(key, SubKeyRef, &type, buffer.data(), &size);
    Registry::closeKey(key);
    if (result != Registry::Success) {
        KeyVal.clear();
        return false;
    }
    buffer.truncate(int(size));
    if (type == Registry::REG_SZ)
        KeyVal = QString::fromUtf8(withoutClosingNul(buffer));
    else if (type == Registry::REG_DWORD)
        KeyVal = dwordText(buffer);
    return true;
}

QString programPath()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"), path))
        return path;
    QString folder;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"), folder)) {
        const QString program = folder + QStringLiteral("/MSINFO32.EXE");
        if (QFileInfo(program).isFile())
            return program;
    }
    return QString();
}

}
