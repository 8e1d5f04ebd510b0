#include "ViewerSettings.h"

#include "CRegister.h"

#include <QLocale>
#include <cmath>

namespace ViewerSettings {

namespace {
QString read(const QString &name, const QString &fallback)
{
    CRegister reg;
    return reg.REGGetSetting(HKEY_LOCAL_MACHINE, Section, name, fallback);
}

void save(const QString &name, const QString &value)
{
    CRegister reg;
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, Section, name, value);
}
}

QString booleanText(bool on)
{
    return on ? QStringLiteral("-1") : QStringLiteral("0");
}

std::optional<double> parseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> parseBoolean(const QString &text)
{
    const std::optional<double> value = parseNumber(text);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<int> parseDelay(const QString &text)
{
    const std::optional<double> value = parseNumber(text);
    if (!value)
        return std::nullopt;
    // Taken through single precision, then to the nearest whole number with
    // halves going to the even neighbour (1500.5 -> 1500, 1501.5 -> 1502).
    const double rounded = std::nearbyint(double(float(*value)));
    if (rounded < 0 || rounded > kMaxDelay)
        return std::nullopt;
    return int(rounded);
}

bool readAntiAlias()
{
    return parseBoolean(read(AntiAliasName, QStringLiteral("1"))).value_or(true);
}

int readSlideShowDelay()
{
    return parseDelay(read(DelayName, QString::number(kDefaultDelay))).value_or(kDefaultDelay);
}

bool readFullScreen()
{
    return parseBoolean(read(FullScreenName, QStringLiteral("1"))).value_or(true);
}

void saveAntiAlias(bool on)
{
    save(AntiAliasName, booleanText(on));
}

void saveSlideShowDelay(int milliseconds)
{
    save(DelayName, QString::number(milliseconds));
}

void saveFullScreen(bool on)
{
    save(FullScreenName, booleanText(on));
}

}
