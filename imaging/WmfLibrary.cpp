#include "WmfLibrary.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <dlfcn.h>
#include <mutex>

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define QMR_NO_DEEPBIND 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define QMR_NO_DEEPBIND 1
#endif
#endif

template <typename F>
bool resolve(void *handle, const char *name, F &out)
{
    out = reinterpret_cast<F>(dlsym(handle, name));
    return out != nullptr;
}

}

const WmfLibrary *WmfLibrary::get(QString *why)
{
    static WmfLibrary library;
    static std::once_flag once;
    std::call_once(once, [] {
#ifdef QMR_NO_DEEPBIND
        // Sanitizer runtimes refuse RTLD_DEEPBIND, and without it libwmf
        // could reach libUEMF's wmf_free.
        library.m_error = QStringLiteral("WMF drawing is not available in this build.");
#else
        void *handle = dlopen("libwmf-0.2.so.7", RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
        if (!handle) {
            library.m_error = QStringLiteral("The WMF library could not be loaded: %1").arg(QString::fromLocal8Bit(dlerror()));
            return;
        }
        if (!resolve(handle, "wmf_api_create", library.apiCreate) || !resolve(handle, "wmf_api_destroy", library.apiDestroy)
            || !resolve(handle, "wmf_mem_open", library.memOpen) || !resolve(handle, "wmf_scan", library.scan)
            || !resolve(handle, "wmf_display_size", library.displaySize) || !resolve(handle, "wmf_play", library.play)
            || !resolve(handle, "wmf_gd_function", library.gdFunction)) {
            library.m_error = QStringLiteral("The WMF library lacks a function this program needs.");
            library.apiCreate = nullptr;
        }
        // The handle stays open for the life of the program.
        library.findFonts();
#endif
    });
    if (!library.apiCreate) {
        if (why)
            *why = library.m_error;
        return nullptr;
    }
    return &library;
}

void WmfLibrary::findFonts()
{
    if (QDir(QStringLiteral("/usr/share/fonts/type1/urw-base35")).exists()
        || QDir(QStringLiteral("/usr/share/fonts/type1/gsfonts")).exists())
        return;   // libwmf finds its own fonts
    const char *const dirs[] = {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation",
                                "/usr/share/fonts/truetype/liberation2", "/usr/share/fonts/TTF"};
    // For each of the standard PostScript fonts, files that resemble it.
    struct Wanted {
        const char *psName;
        std::vector<const char *> files;
    };
    const Wanted wanted[] = {
        {"Times-Roman", {"DejaVuSerif.ttf", "LiberationSerif-Regular.ttf"}},
        {"Times-Italic", {"DejaVuSerif-Italic.ttf", "LiberationSerif-Italic.ttf"}},
        {"Times-Bold", {"DejaVuSerif-Bold.ttf", "LiberationSerif-Bold.ttf"}},
        {"Times-BoldItalic", {"DejaVuSerif-BoldItalic.ttf", "LiberationSerif-BoldItalic.ttf"}},
        {"Helvetica", {"DejaVuSans.ttf", "LiberationSans-Regular.ttf"}},
        {"Helvetica-Oblique", {"DejaVuSans-Oblique.ttf", "LiberationSans-Italic.ttf"}},
        {"Helvetica-Bold", {"DejaVuSans-Bold.ttf", "LiberationSans-Bold.ttf"}},
        {"Helvetica-BoldOblique", {"DejaVuSans-BoldOblique.ttf", "LiberationSans-BoldItalic.ttf"}},
        {"Courier", {"DejaVuSansMono.ttf", "LiberationMono-Regular.ttf"}},
        {"Courier-Oblique", {"DejaVuSansMono-Oblique.ttf", "LiberationMono-Italic.ttf"}},
        {"Courier-Bold", {"DejaVuSansMono-Bold.ttf", "LiberationMono-Bold.ttf"}},
        {"Courier-BoldOblique", {"DejaVuSansMono-BoldOblique.ttf", "LiberationMono-BoldItalic.ttf"}},
        {"Symbol", {"DejaVuSans.ttf", "LiberationSans-Regular.ttf"}},
    };
    // Any font at all stands in where a resembling one is missing.
    QString anyFont;
    for (const char *dir : dirs) {
        const QStringList found = QDir(QLatin1String(dir)).entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name);
        if (!found.isEmpty()) {
            anyFont = QLatin1String(dir) + QLatin1Char('/') + found.first();
            break;
        }
    }
    if (anyFont.isEmpty())
        return;
    std::vector<std::pair<std::string, std::string>> chosen;   // PostScript name, full path
    for (const Wanted &w : wanted) {
        QString path;
        for (const char *file : w.files) {
            for (const char *dir : dirs) {
                const QString candidate = QLatin1String(dir) + QLatin1Char('/') + QLatin1String(file);
                if (path.isEmpty() && QFileInfo::exists(candidate))
                    path = candidate;
            }
        }
        chosen.emplace_back(w.psName, (path.isEmpty() ? anyFont : path).toStdString());
    }
    // libwmf looks a mapped file name up in its font folders.
    for (const auto &c : chosen) {
        const std::string dir = c.second.substr(0, c.second.rfind('/'));
        if (std::find(m_fontDirNames.begin(), m_fontDirNames.end(), dir) == m_fontDirNames.end())
            m_fontDirNames.push_back(dir);
        m_fontNames.push_back(c.first);
        m_fontNames.push_back(c.second.substr(c.second.rfind('/') + 1));
    }
    for (std::string &dir : m_fontDirNames)
        m_fontDirs.push_back(dir.data());
    m_fontDirs.push_back(nullptr);
    for (size_t i = 0; i + 1 < m_fontNames.size(); i += 2) {
        wmfMapping mapping{};
        mapping.name = m_fontNames[i].data();
        mapping.mapping = m_fontNames[i + 1].data();
        mapping.encoding = FT_ENCODING_NONE;
        m_fontMap.push_back(mapping);
    }
    m_fontMap.push_back(wmfMapping{});
    m_customFonts = true;
}

void WmfLibrary::useAvailableFonts(wmfAPI_Options &options, unsigned long &flags) const
{
    if (!m_customFonts)
        return;
    options.fontdirs = const_cast<char **>(m_fontDirs.data());
    options.font.ps = const_cast<wmfMapping *>(m_fontMap.data());
    flags |= WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP;
}
