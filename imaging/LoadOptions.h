#pragma once
// The ";"-separated option text that Loader.LoadFromFile takes.

#include <QString>

struct LoadOptions {
    // 0: full decode. Otherwise the decoder may work at a reduced scale
    // whose short side is still at least twice this many pixels.
    int thumbnailSize = 0;

    static LoadOptions parse(const QString &text);
};
