#pragma once
// libwmf, loaded at run time into a symbol scope of its own.
//
// libUEMF (which writes metafiles, and which libemf2svg loads) exports a
// function named wmf_free, as libwmf does with another meaning. Linked
// side by side, libwmf's calls can reach the wrong one and crash, so
// libwmf is opened with RTLD_DEEPBIND: its calls find its own functions.

#include <QString>

#include <string>
#include <vector>

extern "C" {
#include <libwmf/api.h>
}

class WmfLibrary {
public:
    using ApiCreate = wmf_error_t (*)(wmfAPI **, unsigned long, wmfAPI_Options *);
    using ApiDestroy = wmf_error_t (*)(wmfAPI *);
    using MemOpen = wmf_error_t (*)(wmfAPI *, unsigned char *, long);
    using Scan = wmf_error_t (*)(wmfAPI *, unsigned long, wmfD_Rect *);
    using DisplaySize = wmf_error_t (*)(wmfAPI *, unsigned int *, unsigned int *, double, double);
    using Play = wmf_error_t (*)(wmfAPI *, unsigned long, wmfD_Rect *);
    using Function = void (*)(wmfAPI *);

    ApiCreate apiCreate = nullptr;
    ApiDestroy apiDestroy = nullptr;
    MemOpen memOpen = nullptr;
    Scan scan = nullptr;
    DisplaySize displaySize = nullptr;
    Play play = nullptr;
    Function gdFunction = nullptr;

    // The loaded library, or nullptr with the reason in *why.
    static const WmfLibrary *get(QString *why);

    // libwmf needs a font even for a metafile without text, and by default
    // only looks for the URW Type 1 fonts. Without those, points it at
    // TrueType fonts that are there (adds to options and flags).
    void useAvailableFonts(wmfAPI_Options &options, unsigned long &flags) const;

private:
    WmfLibrary() = default;
    void findFonts();

    QString m_error;
    bool m_customFonts = false;
    std::vector<std::string> m_fontDirNames;
    std::vector<char *> m_fontDirs;          // null-terminated, into m_fontDirNames
    std::vector<std::string> m_fontNames;    // PostScript name, file name pairs
    std::vector<wmfMapping> m_fontMap;       // {0}-terminated, into m_fontNames
};
