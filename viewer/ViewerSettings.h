#pragma once
// The viewer's three settings in the registry, as strings under
// HKEY_LOCAL_MACHINE "SOFTWARE\Brindlecove\Quillmere Settings\". Booleans
// are stored as "-1" and "0"; the delay as decimal milliseconds. A stored
// value that is no number, or a delay outside 0..32767, reads as the default.

#include <QString>
#include <optional>

namespace ViewerSettings {
inline const QString Section = QStringLiteral("SOFTWARE\\Brindlecove\\Quillmere Settings\\");
inline const QString AntiAliasName = QStringLiteral("AntiAlias");
inline const QString DelayName = QStringLiteral("Slide Show Delay");
inline const QString FullScreenName = QStringLiteral("FullScreen");
constexpr int kDefaultDelay = 2000;
constexpr int kMaxDelay = 32767;

bool readAntiAlias();
int readSlideShowDelay();
bool readFullScreen();
void saveAntiAlias(bool on);
void saveSlideShowDelay(int milliseconds);
void saveFullScreen(bool on);

// "-1" or "0".
QString booleanText(bool on);
// Any nonzero number is on and 0 is off; nothing for a text that is no number.
std::optional<bool> parseBoolean(const QString &text);
// A number as the user or the store writes it ("1500", " 2.5e3 ", with the
// locale's or a point as decimal separator); nothing when it is none.
std::optional<double> parseNumber(const QString &text);
// A delay answer or stored value: the number, to the nearest whole (a half
// to the even neighbour); nothing when it is no number or lies outside
// 0..32767.
std::optional<int> parseDelay(const QString &text);
}
