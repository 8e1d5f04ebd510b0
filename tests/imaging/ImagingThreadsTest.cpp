// Documents on worker threads, one per thread, as the browser's thumbnail
// workers use them: every decoder at once must give the same pictures.

#include "ImagingSamples.h"
#include "ImgXDocument.h"

#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace ImagingSamples;

TEST(ImagingThreads, EveryDecoderOnSeveralThreadsAtOnce)
{
    QTemporaryDir dir;
    const QImage picture = noisy(150, 100);
    QStringList files;
    const std::pair<const char *, int> formats[] = {
        {"a.png", ImgXFormatPNG}, {"a.tif", ImgXFormatTIF}, {"a.pcx", ImgXFormatPCX}, {"a.tga", ImgXFormatTGA},
        {"a.bmp", ImgXFormatBMP}, {"a.wmf", ImgXFormatWMF}, {"a.emf", ImgXFormatEMF}, {"a.psd", ImgXFormatPSD}};
    ImgXDocument writer;
    writer.Loader.LoadFromPicture(picture);
    for (auto [name, code] : formats) {
        writer.Export.SaveFile(dir.filePath(name), code);
        files << dir.filePath(name);
    }
    ASSERT_TRUE(smooth(1600, 1200).save(dir.filePath("big.jpg"), "JPEG", 90));

    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            ImgXDocument doc;
            for (int round = 0; round < 3; ++round) {
                for (int i = 0; i < files.size(); ++i) {
                    const QString &file = files[(i + t) % files.size()];
                    try {
                        doc.Loader.LoadFromFile(file);
                        if (maxDifference(doc.Export.GetPicture(), picture) != 0)
                            ++failures;
                    } catch (const ImgXError &) {
                        ++failures;
                    }
                }
                try {
                    doc.Loader.LoadFromFile(dir.filePath("big.jpg"), 0, QStringLiteral("ThumbnailSize=100"));
                    doc.Transform.Resize(100, 0, 4);
                    if (doc.Export.GetPicture().size() != QSize(100, 75))
                        ++failures;
                } catch (const ImgXError &) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread &w : workers)
        w.join();
    EXPECT_EQ(failures.load(), 0);
}
