// Damaged, hostile and mislabelled files: each load must end in an
// ImgXError with a readable text, quickly, and never in a crash.

#include "ImagingSamples.h"
#include "ImageEncoder.h"
#include "ImgXDocument.h"
#include "PictureLoader.h"
#include "TestFiles.h"

#include <Magick++.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace ImagingSamples;

namespace {

// Sets the width in the first directory of a little-endian TIFF.
bool setTiffWidth(QByteArray &tif, quint32 width)
{
    const quint32 ifd = qFromLittleEndian<quint32>(tif.constData() + 4);
    const int entries = qFromLittleEndian<quint16>(tif.constData() + ifd);
    for (int i = 0; i < entries; ++i) {
        char *entry = tif.data() + ifd + 2 + 12 * i;
        if (qFromLittleEndian<quint16>(entry) == 256) {
            qToLittleEndian<quint16>(4, entry + 2);   // LONG
            qToLittleEndian<quint32>(1, entry + 4);
            qToLittleEndian<quint32>(width, entry + 8);
            return true;
        }
    }
    return false;
}

// The process's address space, in MB.
qint64 virtualMb()
{
    for (const QByteArray &line : TestFiles::readBytes(QStringLiteral("/proc/self/status")).split('\n')) {
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() / 1024;
    }
    return 0;
}

class ImagingBadInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }

    // Writes the bytes and expects the load to fail cleanly and fast.
    void expectFailure(const QString &name, const QByteArray &bytes)
    {
        SCOPED_TRACE(name.toStdString());
        const QString file = m_dir.filePath(name);
        ASSERT_TRUE(TestFiles::writeBytes(file, bytes));
        ImgXDocument doc;
        QElapsedTimer timer;
        timer.start();
        try {
            doc.Loader.LoadFromFile(file);
            ADD_FAILURE() << "loaded " << doc.ImageInfo.Width() << " x " << doc.ImageInfo.Height();
        } catch (const ImgXError &e) {
            EXPECT_GT(e.text().size(), 10) << e.what();
        }
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(doc.Pages.Count(), 0);
    }

    // A valid file of every format this component reads.
    QVector<std::pair<QString, QByteArray>> samples()
    {
        const QImage picture = noisy(40, 30);
        QVector<std::pair<QString, QByteArray>> out;
        const std::pair<const char *, int> encoded[] = {
            {"jpg", ImgXFormatJPG}, {"png", ImgXFormatPNG}, {"tif", ImgXFormatTIF}, {"pcx", ImgXFormatPCX},
            {"tga", ImgXFormatTGA}, {"bmp", ImgXFormatBMP}, {"wmf", ImgXFormatWMF}, {"emf", ImgXFormatEMF},
            {"psd", ImgXFormatPSD}, {"wbmp", ImgXFormatWBMP}};
        for (auto [suffix, code] : encoded)
            out.append({QLatin1String(suffix), ImageEncoder::encode(picture, code)});
        const QString gif = m_dir.filePath("sample.gif"), ico = m_dir.filePath("sample.ico");
        writeMagickList({toMagick(picture), toMagick(picture)}, gif, "GIF");
        writeMagickList({toMagick(picture), toMagick(picture.scaled(16, 16))}, ico, "ICO");
        out.append({QStringLiteral("gif"), TestFiles::readBytes(gif)});
        out.append({QStringLiteral("ico"), TestFiles::readBytes(ico)});
        QByteArray cur = out.last().second;
        cur[2] = 2;
        out.append({QStringLiteral("cur"), cur});
        return out;
    }

    QTemporaryDir m_dir;
};

}

TEST_F(ImagingBadInput, EmptyTextAndRandomBytes)
{
    expectFailure("empty.png", QByteArray());
    expectFailure("notes.jpg", "These are some notes, not a picture at all.\n");
    quint32 state = 99;
    QByteArray noise(5000, '\0');
    for (char &c : noise) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 16);
    }
    for (const char *suffix : {"jpg", "png", "gif", "bmp", "tif", "ico", "cur", "pcx", "tga", "psd", "pcd", "wbmp",
                               "wmf", "emf", "dib", "tla"})
        expectFailure(QStringLiteral("noise.%1").arg(QLatin1String(suffix)), noise);
    // Random bytes behind a real signature reach the decoders themselves.
    for (const auto &[suffix, sample] : samples())
        expectFailure(QStringLiteral("signed-noise.%1").arg(suffix), sample.left(8) + noise);
}

TEST_F(ImagingBadInput, TruncatedFilesOfEveryFormat)
{
    for (const auto &[suffix, sample] : samples()) {
        ASSERT_GT(sample.size(), 100) << suffix.toStdString();
        for (int keep : {8, 40, int(sample.size() / 2), int(sample.size() - 12)})
            expectFailure(QStringLiteral("cut-%1.%2").arg(keep).arg(suffix), sample.left(keep));
    }
}

namespace {

// A BMP with run-length coded rows (compression 1: 8-bit, 2: 4-bit) as
// other programs write them: every row one run, then the end-of-line
// escape, then the end-of-bitmap escape.
QByteArray rleBmp(int width, int height, int bits)
{
    QByteArray pixels;
    for (int row = 0; row < height; ++row) {
        pixels += char(width);
        pixels += char(bits == 8 ? row % 4 : (row % 4) * 0x11);
        pixels += QByteArray(2, '\0');
    }
    pixels += QByteArray("\0\1", 2);
    const int colours = 1 << bits;
    QByteArray info(40, '\0');
    qToLittleEndian<quint32>(40, info.data());
    qToLittleEndian<qint32>(width, info.data() + 4);
    qToLittleEndian<qint32>(height, info.data() + 8);
    qToLittleEndian<quint16>(1, info.data() + 12);
    qToLittleEndian<quint16>(quint16(bits), info.data() + 14);
    qToLittleEndian<quint32>(bits == 8 ? 1 : 2, info.data() + 16);
    qToLittleEndian<quint32>(quint32(pixels.size()), info.data() + 20);
    qToLittleEndian<quint32>(quint32(colours), info.data() + 32);
    QByteArray palette;
    for (int i = 0; i < colours; ++i)
        palette += QByteArray(1, char(i * 60)) + QByteArray(1, char(255 - i * 60)) + QByteArray(1, char(i * 30)) + '\0';
    const int offset = 14 + info.size() + palette.size();
    QByteArray file("BM");
    file += QByteArray(12, '\0');
    qToLittleEndian<quint32>(quint32(offset + pixels.size()), file.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), file.data() + 10);
    return file + info + palette + pixels;
}

}

// Other programs' files that our own encoders never make: the cut must
// be noticed even where the data has no fixed size.
TEST_F(ImagingBadInput, TruncatedRunLengthBmpAndWbmp)
{
    for (int bits : {8, 4}) {
        const QByteArray whole = rleBmp(30, 20, bits);
        const QString name = QStringLiteral("rle%1.bmp").arg(bits);
        ASSERT_TRUE(TestFiles::writeBytes(m_dir.filePath(name), whole));
        ImgXDocument doc;
        ASSERT_NO_THROW(doc.Loader.LoadFromFile(m_dir.filePath(name))) << bits;
        EXPECT_EQ(doc.ImageInfo.Width(), 30);
        EXPECT_EQ(doc.ImageInfo.Height(), 20);
        EXPECT_EQ(doc.ImageInfo.BitsPerPixel(), bits);
        const QImage shown = doc.Export.GetPicture();
        EXPECT_NE(shown.pixel(0, 0), shown.pixel(0, 1));   // the rows really differ
        // Without its end-of-bitmap escape the last row is still whole.
        ASSERT_TRUE(TestFiles::writeBytes(m_dir.filePath(name), whole.left(whole.size() - 2)));
        EXPECT_NO_THROW(doc.Loader.LoadFromFile(m_dir.filePath(name))) << bits;
        for (int cut : {whole.size() / 2, whole.size() - 6})
            expectFailure(QStringLiteral("cut-%1-rle%2.bmp").arg(cut).arg(bits), whole.left(cut));
    }

    const QByteArray wbmp = ImageEncoder::encode(noisy(40, 30), ImgXFormatWBMP);
    for (int cut : {8, int(wbmp.size() / 2), int(wbmp.size() - 1)}) {
        const QString file = m_dir.filePath(QStringLiteral("cut-%1.wbmp").arg(cut));
        ASSERT_TRUE(TestFiles::writeBytes(file, wbmp.left(cut)));
        ImgXDocument doc;
        try {
            doc.Loader.LoadFromFile(file);
            ADD_FAILURE() << "loaded a cut WBMP";
        } catch (const ImgXError &e) {
            EXPECT_TRUE(e.text().contains(QLatin1String("incomplete"))) << e.what();
        }
    }
}

// ImageMagick's reasons come without its program name, quoting and
// source location, which mean nothing to the user.
TEST_F(ImagingBadInput, MagickReasonsReadPlainly)
{
    const QByteArray pcx = ImageEncoder::encode(noisy(40, 30), ImgXFormatPCX);
    // Wider than ImageMagick reads here: it reports two reasons in a row.
    QByteArray wide = pcx;
    qToLittleEndian<quint16>(39999, wide.data() + 8);
    qToLittleEndian<quint16>(40000, wide.data() + 66);
    for (const auto &[name, bytes] : {std::pair{"cut.pcx", pcx.left(pcx.size() / 2)}, std::pair{"wide.pcx", wide}}) {
        SCOPED_TRACE(name);
        const QString file = m_dir.filePath(name);
        ASSERT_TRUE(TestFiles::writeBytes(file, bytes));
        ImgXDocument doc;
        try {
            doc.Loader.LoadFromFile(file);
            ADD_FAILURE() << "loaded a damaged PCX";
        } catch (const ImgXError &e) {
            EXPECT_TRUE(e.text().startsWith(QLatin1String("Cannot read the PCX image: "))) << e.what();
            EXPECT_FALSE(e.text().contains(QLatin1String("@ "))) << e.what();
            EXPECT_FALSE(e.text().contains(QLatin1Char('`'))) << e.what();
            EXPECT_FALSE(e.text().contains(QCoreApplication::applicationName() + QLatin1Char(':'))) << e.what();
        }
    }
}

TEST_F(ImagingBadInput, HugeDeclaredSizes)
{
    // PNG header claiming 100000 x 100000.
    QByteArray png = ImageEncoder::encode(noisy(4, 4), ImgXFormatPNG);
    qToBigEndian<quint32>(100000, png.data() + 16);
    qToBigEndian<quint32>(100000, png.data() + 20);
    expectFailure("huge.png", png);

    // BMP claiming 60000 x 60000 at 32 bits.
    QByteArray bmp = ImageEncoder::encode(noisy(4, 4, true), ImgXFormatBMP);
    qToLittleEndian<qint32>(60000, bmp.data() + 18);
    qToLittleEndian<qint32>(60000, bmp.data() + 22);
    expectFailure("huge.bmp", bmp);

    // PSD claiming 300000 x 300000.
    QByteArray psd = ImageEncoder::encode(noisy(4, 4), ImgXFormatPSD);
    qToBigEndian<quint32>(300000, psd.data() + 14);
    qToBigEndian<quint32>(300000, psd.data() + 18);
    expectFailure("huge.psd", psd);

    // TGA at its largest: 65535 x 65535 with almost no data.
    QByteArray tga = ImageEncoder::encode(noisy(4, 4), ImgXFormatTGA);
    qToLittleEndian<quint16>(65535, tga.data() + 12);
    qToLittleEndian<quint16>(65535, tga.data() + 14);
    expectFailure("huge.tga", tga);

    // GIF with a 65535 x 65535 screen and frame.
    const QString gifPath = m_dir.filePath("small.gif");
    ASSERT_TRUE(writeMagick(toMagick(noisy(4, 4)), gifPath, "GIF"));
    QByteArray gif = TestFiles::readBytes(gifPath);
    qToLittleEndian<quint16>(65535, gif.data() + 6);
    qToLittleEndian<quint16>(65535, gif.data() + 8);
    expectFailure("huge.gif", gif);

    // EMF whose frame claims a picture of kilometres.
    QByteArray emf = ImageEncoder::encode(noisy(4, 4), ImgXFormatEMF);
    qToLittleEndian<qint32>(2000000000, emf.data() + 32);
    qToLittleEndian<qint32>(2000000000, emf.data() + 36);
    qToLittleEndian<qint32>(1000000, emf.data() + 16);   // and no longer one plain bitmap
    expectFailure("huge.emf", emf);

    // TIFF rows of 67,108,864 pixels, within the cap but wider than a Qt
    // image can be: what was set aside for the pixels is given back.
    QByteArray tif = ImageEncoder::encode(noisy(4, 4), ImgXFormatTIF);
    ASSERT_TRUE(tif.startsWith("II") && setTiffWidth(tif, 67108864));
    const qint64 before = virtualMb();
    expectFailure("wide.tif", tif);
    EXPECT_LT(virtualMb() - before, 512);

    // JPEG frame header claiming 65000 x 65000.
    QByteArray jpeg = ImageEncoder::encode(smooth(16, 16), ImgXFormatJPG);
    const int sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    qToBigEndian<quint16>(65000, jpeg.data() + sof + 5);
    qToBigEndian<quint16>(65000, jpeg.data() + sof + 7);
    expectFailure("huge.jpg", jpeg);
    // A thumbnail of it is decoded at an eighth of the size, which fits;
    // the cut-off data below the header then shows as an error of its own
    // or as a picture, never as running out of memory.
    ImgXDocument doc;
    try {
        doc.Loader.LoadFromFile(m_dir.filePath("huge.jpg"), 0, QStringLiteral("ThumbnailSize=140"));
        EXPECT_EQ(doc.ImageInfo.Width(), 65000);
    } catch (const ImgXError &e) {
        EXPECT_FALSE(e.text().contains(QLatin1String("too large"))) << e.what();
    }
}

TEST_F(ImagingBadInput, MalformedStructures)
{
    // An EMF header whose description offset points past the file (the
    // count is 0, so a reader looking for the text's end would run on).
    const QString shape = m_dir.filePath("shape.emf");
    ASSERT_TRUE(writeShapeEmf(shape));
    QByteArray emf = TestFiles::readBytes(shape);
    qToLittleEndian<quint32>(0, emf.data() + 60);
    qToLittleEndian<quint32>(0x7ffffff0, emf.data() + 64);
    const QString described = m_dir.filePath("described.emf");
    ASSERT_TRUE(TestFiles::writeBytes(described, emf));
    ImgXDocument doc;
    EXPECT_NO_THROW(doc.Loader.LoadFromFile(described));   // the text plays no part in the picture
    EXPECT_EQ(doc.ImageInfo.Width(), 200);

    // A record whose size runs past the end.
    QByteArray broken = TestFiles::readBytes(shape);
    const int second = int(qFromLittleEndian<quint32>(broken.constData() + 4));
    qToLittleEndian<quint32>(0x00fffff0, broken.data() + second + 4);
    expectFailure("broken-record.emf", broken);

    // A PSB (large-document PSD) whose layer section claims 2^63 bytes.
    QByteArray psb = ImageEncoder::encode(noisy(4, 4), ImgXFormatPSD);
    qToBigEndian<quint16>(2, psb.data() + 4);
    const int modeLength = int(qFromBigEndian<quint32>(psb.constData() + 26));
    const int resources = 30 + modeLength;
    const int layers = resources + 4 + int(qFromBigEndian<quint32>(psb.constData() + resources));
    psb.insert(layers, QByteArray(4, '\0'));   // the wider length field
    qToBigEndian<quint32>(0x80000000u, psb.data() + layers);
    expectFailure("huge-section.psd", psb);

    // A WMF record claiming more words than the file holds.
    QByteArray wmf = ImageEncoder::encode(noisy(4, 4), ImgXFormatWMF);
    qToLittleEndian<quint32>(0x7fffffff, wmf.data() + 22 + 18);
    expectFailure("long-record.wmf", wmf);
}

TEST_F(ImagingBadInput, PictureLoaderFailsCleanly)
{
    const QString file = m_dir.filePath("broken.ico");
    ASSERT_TRUE(TestFiles::writeBytes(file, QByteArray("\0\0\1\0\1\0", 6) + QByteArray(40, '\x7f')));
    EXPECT_THROW(PictureLoader::LoadPicture(file), ImgXError);
    ASSERT_TRUE(TestFiles::writeBytes(m_dir.filePath("empty.dib"), QByteArray()));
    EXPECT_THROW(PictureLoader::LoadPicture(m_dir.filePath("empty.dib")), ImgXError);
}
