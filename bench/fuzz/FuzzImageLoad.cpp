// Feeds arbitrary bytes to the load entry point. The first byte picks the
// file-name extension, since the extension decides between formats with
// weak signatures; the rest is the file. Every outcome but an ImgXError
// or a picture is a bug.
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DQMR_FUZZ=ON
//   cmake --build build-fuzz --target qmr_fuzz_imaging
//   LSAN_OPTIONS=suppressions=bench/fuzz/lsan.supp build-fuzz/bin/qmr_fuzz_imaging -max_len=65536 -timeout=10 CORPUS_DIR

#include "ImageDecoder.h"
#include "ImageReducer.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);   // fonts and image plugins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const suffixes[] = {"jpg", "png", "gif", "bmp", "dib", "tif", "ico", "cur",
                                           "pcx", "tga", "psd", "pcd", "wbmp", "wmf", "emf", "tla"};
    const QString suffix = QLatin1String(suffixes[data[0] % (sizeof suffixes / sizeof *suffixes)]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    try {
        const QVector<ImgXPage> pages = ImageDecoder::decodeData(bytes, suffix, 0, LoadOptions());
        for (const ImgXPage &page : pages) {
            if (page.image.isNull() && !page.source)
                __builtin_trap();
            if (page.image.isNull())
                continue;   // left to its source: decoded below
            // The band-wise reduction that thumbnails and the display use
            // for pages in few colours.
            const QImage reduced = ImageReducer::reduce(
                page.image, QSize(qMax(1, page.image.width() / 3), qMax(1, page.image.height() / 2)));
            if (reduced.isNull())
                __builtin_trap();
        }
        // Pages left to their source, decoded as the viewer steps to the
        // next one and jumps to the last.
        for (const int index : {1, int(pages.size()) - 1}) {
            if (index < 1 || index >= pages.size())
                continue;
            try {
                if (pages[index].source->decode(index).image.isNull())
                    __builtin_trap();
            } catch (const ImgXError &) {
            }
        }
    } catch (const ImgXError &) {
    }
    return 0;
}
