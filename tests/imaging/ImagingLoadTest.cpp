#include "ImgX.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ImagingLoad, CommonFormatsLoadByContent)
{
    QTemporaryDir dir;
    struct Case { const char *qtFormat; const char *name; int code; };
    const Case cases[] = {{"JPG", "a.jpg", ImgXFormatJPG}, {"PNG", "b.png", ImgXFormatPNG},
                          {"BMP", "c.bmp", ImgXFormatBMP},
                          {"TIFF", "e.tla", ImgXFormatTIF}};
    for (const Case &c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(TestFiles::writeImage(path, 64, 48, c.qtFormat)) << c.name;
        ImgXDocument doc;
        doc.Loader.LoadFromFile(path);
        EXPECT_EQ(doc.ImageInfo.Format(), c.code) << c.name;
        EXPECT_EQ(doc.ImageInfo.Width(), 64);
        EXPECT_EQ(doc.ImageInfo.Height(), 48);
        EXPECT_EQ(doc.Pages.Count(), 1);
    }
}
