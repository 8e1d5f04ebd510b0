// The print object: its dialogs through the scripted prompts, and the
// placement of printed images checked on PDF output rasterised at 72 dpi
// (one pixel per point).

#include "ImgXPrint.h"

#include "ImgXDocument.h"
#include "PrintPlacement.h"
#include "ScriptedPrompts.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A solid image whose resolution is 72 dpi, so one pixel prints as one point.
QImage solid(int width, int height, QColor colour = QColor(200, 0, 0))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    return image;
}

QString tool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The bounding box of the inked pixels on one page.
QRect inkedRect(const QImage &page)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 200)
                box |= QRect(x, y, 1, 1);
    return box;
}

class ImgXPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPrompts::instance().reset();
        ASSERT_TRUE(m_dir.isValid());
        m_pdf = m_dir.filePath("out.pdf");
        m_print.printer().setOutputFormat(QPrinter::PdfFormat);
        m_print.printer().setOutputFileName(m_pdf);
        m_print.printer().setPageSize(QPageSize(QPageSize::A4));
        m_print.printer().setPageMargins(QMarginsF(36, 54, 36, 54), QPageLayout::Point);
    }

    QImage page(int number)
    {
        const QString prefix = m_dir.filePath("page");
        tool("pdftoppm", {"-png", "-r", "72", "-f", QString::number(number), "-l", QString::number(number),
                          "-singlefile", m_pdf, prefix});
        return QImage(prefix + ".png");
    }

    // The images the PDF holds, as stored in it.
    QList<QImage> embedded()
    {
        const QString prefix = m_dir.filePath("stored");
        tool("pdfimages", {"-png", m_pdf, prefix});
        QList<QImage> images;
        for (int i = 0;; ++i) {
            const QImage image(QStringLiteral("%1-%2.png").arg(prefix).arg(i, 3, 10, QLatin1Char('0')));
            if (image.isNull())
                return images;
            images << image.convertToFormat(QImage::Format_RGB32);
        }
    }

    int pageCount() { return tool("pdfinfo", {m_pdf}).section("Pages:", 1).trimmed().section('\n', 0, 0).toInt(); }

    // The printable area in points on the page.
    QRectF printable() { return m_print.printer().pageLayout().paintRect(QPageLayout::Point); }

    QTemporaryDir m_dir;
    QString m_pdf;
    ImgXPrint m_print;
};

void expectNear(const QRect &actual, const QRectF &expected)
{
    EXPECT_NEAR(actual.left(), expected.left(), 1.5);
    EXPECT_NEAR(actual.top(), expected.top(), 1.5);
    EXPECT_NEAR(actual.width(), expected.width(), 2);
    EXPECT_NEAR(actual.height(), expected.height(), 2);
}

TEST(PrintPlacementTest, TopLeftCentredAndFitted)
{
    const QSizeF area(1000, 500);
    EXPECT_EQ(PrintPlacement::place(QSizeF(100, 50), area, false, false), QRectF(0, 0, 100, 50));
    EXPECT_EQ(PrintPlacement::place(QSizeF(100, 50), area, true, false), QRectF(450, 225, 100, 50));
    EXPECT_EQ(PrintPlacement::place(QSizeF(100, 100), area, true, true), QRectF(250, 0, 500, 500));
    EXPECT_EQ(PrintPlacement::place(QSizeF(4000, 1000), area, true, true), QRectF(0, 125, 1000, 250));
    // Larger than the area and not fitted: centred, overhanging on both sides.
    EXPECT_EQ(PrintPlacement::place(QSizeF(1200, 100), area, true, false), QRectF(-100, 200, 1200, 100));
}

TEST(PrintPlacementTest, ImagesWithoutAResolutionPrintAtScreenSize)
{
    QImage image(96, 48, QImage::Format_RGB32);
    image.setDotsPerMeterX(1);   // what some writers store for "unknown"
    image.setDotsPerMeterY(1);
    EXPECT_EQ(PrintPlacement::naturalSize(image, 600, 600), QSizeF(600, 300));
    image.setDotsPerMeterX(11811);   // 300 dpi
    EXPECT_NEAR(PrintPlacement::naturalSize(image, 600, 600).width(), 192, 0.1);
}

TEST_F(ImgXPrintTest, TopLeftPrintsAtTheCornerOfThePrintableArea)
{
    m_print.PrintImage("Orrindale", solid(144, 72), false, false);
    const QRectF area = printable();
    expectNear(inkedRect(page(1)), QRectF(area.topLeft(), QSizeF(144, 72)));
    EXPECT_TRUE(tool("pdfinfo", {m_pdf}).contains("Orrindale"));
}

TEST_F(ImgXPrintTest, CentredPrintsAtItsOwnSizeInTheMiddle)
{
    m_print.PrintImage("Orrindale", solid(144, 72), true, false);
    const QRectF area = printable();
    expectNear(inkedRect(page(1)), QRectF(area.center() - QPointF(72, 36), QSizeF(144, 72)));
}

TEST_F(ImgXPrintTest, FittedFillsTheWidthKeepingTheAspect)
{
    m_print.PrintImage("Orrindale", solid(144, 72), true, true);
    const QRectF area = printable();
    const QSizeF size(area.width(), area.width() / 2);
    expectNear(inkedRect(page(1)), QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size));
}

TEST_F(ImgXPrintTest, FittedTallImageFillsTheHeight)
{
    m_print.PrintImage("Orrindale", solid(30, 300), true, true);
    const QRectF area = printable();
    const QSizeF size(area.height() / 10, area.height());
    expectNear(inkedRect(page(1)), QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size));
}

TEST_F(ImgXPrintTest, PrintPagesPutsEveryPageOnItsOwnSheet)
{
    ImgXDocument doc;
    QVector<ImgXPage> pages(3);
    for (int i = 0; i < 3; ++i) {
        pages[i].image = solid(72, 72);
        pages[i].width = pages[i].height = 72;
        pages[i].pageIndex = i;
    }
    doc.setPages(pages);
    m_print.PrintPages("Orrindale", doc.Pages, false, false);
    EXPECT_EQ(pageCount(), 3);
    expectNear(inkedRect(page(3)), QRectF(printable().topLeft(), QSizeF(72, 72)));
}

// A printer that writes a file makes no copies and keeps the order: the object makes them.
// The printer keeps the copies and the order asked for, for the next print.
TEST_F(ImgXPrintTest, CopiesCollationAndReverseOrderAreMade)
{
    m_print.printer().setCopyCount(2);
    m_print.printer().setCollateCopies(true);
    m_print.printer().setPageOrder(QPrinter::LastPageFirst);
    const auto printedWidths = [this] {
        m_print.beginDocument();
        for (int width : {40, 50, 60})
            m_print.PrintImage("Orrindale", solid(width, 30), false, false);
        EXPECT_TRUE(m_print.endDocument());
        QList<int> widths;
        for (const QImage &image : embedded())
            widths << image.width();
        return widths;
    };
    EXPECT_EQ(printedWidths(), (QList<int>{60, 50, 40, 60, 50, 40}));
    m_print.printer().setCollateCopies(false);
    EXPECT_EQ(printedWidths(), (QList<int>{60, 60, 50, 50, 40, 40}));
}

TEST_F(ImgXPrintTest, ImagesAreStoredWithoutLoss)
{
    QImage image = solid(61, 40);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, (x * y) & 0xff, (x ^ y) * 3 & 0xff));
    m_print.PrintImage("Orrindale", image, true, true);
    const QList<QImage> stored = embedded();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0], image);
}

TEST_F(ImgXPrintTest, NothingToPrintIsAnError)
{
    ImgXDocument empty;
    EXPECT_THROW(m_print.PrintImage("Orrindale", QImage(), false, false), ImgXError);
    EXPECT_THROW(m_print.PrintPages("Orrindale", empty.Pages, false, false), ImgXError);
    EXPECT_FALSE(QFile::exists(m_pdf));
}

TEST_F(ImgXPrintTest, ThePrintDialogOffersTheRangeAndReturnsTheChoice)
{
    m_print.FromPage = 1;
    m_print.ToPage = 4;
    m_print.MinPage = 1;
    m_print.MaxPage = 4;
    int offeredMin = 0, offeredMax = 0;
    ScriptedPrompts::instance().answerDialog([&](QDialog *d) {
        auto *dialog = qobject_cast<QPrintDialog *>(d);
        offeredMin = dialog->minPage();
        offeredMax = dialog->maxPage();
        dialog->printer()->setPrintRange(QPrinter::PageRange);
        dialog->printer()->setFromTo(2, 3);
        return int(QDialog::Accepted);
    });
    bool ok = false;
    m_print.ShowPrintDialog(nullptr, 0, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(offeredMin, 1);
    EXPECT_EQ(offeredMax, 4);
    EXPECT_EQ(m_print.PrintRange(), int(ImgXPrint::PageRange));
    EXPECT_EQ(m_print.FromPage, 2);
    EXPECT_EQ(m_print.ToPage, 3);
}

TEST_F(ImgXPrintTest, AllPagesAndSelectionKeepTheGivenRange)
{
    m_print.FromPage = 1;
    m_print.ToPage = 1;
    ScriptedPrompts::instance().answerDialog([](QDialog *d) {
        qobject_cast<QPrintDialog *>(d)->printer()->setPrintRange(QPrinter::Selection);
        return int(QDialog::Accepted);
    });
    bool ok = false;
    m_print.ShowPrintDialog(nullptr, 0, ok);
    EXPECT_EQ(m_print.PrintRange(), int(ImgXPrint::Selection));

    ScriptedPrompts::instance().answerDialog([](QDialog *) { return int(QDialog::Accepted); });
    m_print.ShowPrintDialog(nullptr, 0, ok);
    EXPECT_EQ(m_print.PrintRange(), int(ImgXPrint::AllPages));
    EXPECT_EQ(m_print.FromPage, 1);
    EXPECT_EQ(m_print.ToPage, 1);
}

TEST_F(ImgXPrintTest, CancelAndAnEmptyRangeAreSafe)
{
    m_print.FromPage = 1;
    m_print.ToPage = 0;   // no image: pages 1 to 0
    m_print.MinPage = 1;
    m_print.MaxPage = 0;
    bool ok = true;
    m_print.ShowPrintDialog(nullptr, 0, ok);   // cancelled
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_print.FromPage, 1);
    EXPECT_EQ(m_print.ToPage, 0);
}

TEST_F(ImgXPrintTest, PageSetupIsKeptForLaterJobs)
{
    ScriptedPrompts::instance().answerDialog([](QDialog *d) {
        qobject_cast<QPageSetupDialog *>(d)->printer()->setPageOrientation(QPageLayout::Landscape);
        return int(QDialog::Accepted);
    });
    bool result = false;
    m_print.ShowPageSetup(nullptr, 0, result);
    EXPECT_TRUE(result);
    m_print.PrintImage("Orrindale", solid(10, 10), false, false);
    const QImage sheet = page(1);
    EXPECT_GT(sheet.width(), sheet.height());
}

}
