// Operations on the image in the control: rotation, the clipboard, pages,
// printing and the encryption key prompt.

#include "ViewerFixture.h"

#include "ImgX.h"
#include "ImgXPrint.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "frmDialog.h"
#include "frmViwer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

namespace {

void trigger(frmViwer *v, const char *name)
{
    v->findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

QImage shown(frmViwer *v)
{
    return v->imgX()->Export.GetPicture().convertToFormat(QImage::Format_RGB32);
}

// Three pages of different sizes in the control.
void threePages(frmViwer *v)
{
    QVector<ImgXPage> pages;
    for (int i = 0; i < 3; ++i) {
        ImgXPage page;
        page.image = TestFiles::pattern(40 + 10 * i, 30);
        page.width = page.image.width();
        page.height = page.image.height();
        page.bitsPerPixel = 24;
        page.pageIndex = i;
        page.format = ImgXFormatTIF;
        pages << page;
    }
    v->imgX()->document().setPages(pages, 0);
}

// Pages left to a source that counts its decodes.
class CountingPages : public ImgXPageSource {
public:
    ImgXPage decode(int index) override
    {
        ++decodes;
        ImgXPage page;
        page.image = TestFiles::pattern(40 + 10 * index, 30);
        page.width = page.image.width();
        page.height = page.image.height();
        page.pageIndex = index;
        return page;
    }
    qint64 heldBytes() const override { return 0; }
    int decodes = 0;
};

// The print dialog's answer: print to a PDF file with the given range.
void printTo(const QString &pdf, QPrinter::PrintRange range, int from = 0, int to = 0)
{
    ScriptedPrompts::instance().answerDialog([=](QDialog *dialog) {
        QPrinter *printer = static_cast<QPrintDialog *>(dialog)->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        printer->setPrintRange(range);
        if (range == QPrinter::PageRange)
            printer->setFromTo(from, to);
        return int(QDialog::Accepted);
    });
}

int pdfPages(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    for (const QByteArray &line : info.readAllStandardOutput().split('\n')) {
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// The key prompt's answer: the key typed, then OK or Cancel.
void answerKey(const QString &key, bool ok)
{
    ScriptedPrompts::instance().answerDialog([=](QDialog *dialog) {
        auto *prompt = static_cast<frmDialog *>(dialog);
        prompt->txtText(0)->setText(key);
        (ok ? prompt->cmdOK() : prompt->cmdCancel())->click();
        return int(ok ? QDialog::Accepted : QDialog::Rejected);
    });
}

}

class ViewerImageOps : public ViewerFixture {};

TEST_F(ViewerImageOps, QuarterTurnsComeBackToTheFirstOrientation)
{
    frmViwer *v = show({image("a.png", 60, 40), image("b.png", 50, 50)});
    const QImage original = shown(v);
    for (int i = 0; i < 4; ++i)
        trigger(v, "mnuRotate1");
    EXPECT_EQ(shown(v), original);
    trigger(v, "mnuRotate1");
    EXPECT_EQ(shown(v).size(), QSize(40, 60));
    // A positive angle turns clockwise: the red top-left corner goes top-right.
    EXPECT_EQ(shown(v).pixelColor(39, 0), QColor(Qt::red));
    trigger(v, "mnuRotate2");
    EXPECT_EQ(shown(v), original);

    // The rotation lives in the control only: stepping away and back shows the file.
    trigger(v, "mnuRotate2");
    v->ShowNext();
    v->ShowPrevious();
    EXPECT_EQ(shown(v), original);
}

TEST_F(ViewerImageOps, CopyImageTakesTheRotatedImage)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    trigger(v, "mnuRotate2");
    trigger(v, "mnuCopyImage");
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(40, 60));
}

TEST_F(ViewerImageOps, OperationsOnAnEmptyViewChangeNothing)
{
    frmViwer *v = show({QString()});
    trigger(v, "mnuRotate1");
    trigger(v, "mnuRotate2");
    trigger(v, "mnuCopyImage");
    trigger(v, "mnuSetAsWallpaper");
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
}

TEST_F(ViewerImageOps, PageStepsStopAtTheFirstAndLastPage)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    v->ShowNextPage();
    v->ShowPreviousPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 0);

    threePages(v);
    v->ShowPreviousPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 0);
    v->ShowNextPage();
    v->ShowNextPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 2);
    EXPECT_EQ(v->imgX()->ImageInfo.Width(), 60);
    v->ShowNextPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 2);
    v->ShowPreviousPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 1);
}

TEST_F(ViewerImageOps, APageStepDecodesThePageOnce)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    auto source = std::make_shared<CountingPages>();
    QVector<ImgXPage> pages(3);
    for (int i = 0; i < pages.size(); ++i) {
        pages[i].pageIndex = i;
        pages[i].source = source;
    }
    v->imgX()->document().setPages(pages, 0);
    source->decodes = 0;
    v->ShowNextPage();
    EXPECT_EQ(v->imgX()->ImageInfo.Width(), 50);
    v->ShowPreviousPage();
    EXPECT_EQ(v->imgX()->ImageInfo.PageIndex(), 0);
    EXPECT_EQ(source->decodes, 2);
}

TEST_F(ViewerImageOps, PreviewLoadClearsForNothingFoldersAndDamagedFiles)
{
    const QString a = image("a.png", 60, 40);
    frmViwer *v = show({a});
    v->LoadPreviewFile(dir.path());
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    v->LoadPreviewFile(a);
    EXPECT_EQ(v->imgX()->Pages.Count(), 1);
    EXPECT_EQ(v->imgX()->ScrollMode(), 0);
    EXPECT_TRUE(v->imgX()->SourceIsFile());
    const QString broken = dir.filePath("broken.png");
    ASSERT_TRUE(TestFiles::writeBytes(broken, "nothing"));
    v->LoadPreviewFile(broken);
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    v->LoadPreviewFile(image("i.ico", 32, 32, "ICO"));
    EXPECT_FALSE(v->imgX()->SourceIsFile());
    v->LoadPreviewFile(QString());
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    EXPECT_EQ(v->files(), QStringList{a});
}

TEST_F(ViewerImageOps, PrintDialogOffersThePagesAndCancelPrintsNothing)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    threePages(v);
    trigger(v, "mnuTopLeft");    // not answered: cancelled
    EXPECT_EQ(v->printer()->FromPage, 1);
    EXPECT_EQ(v->printer()->ToPage, 3);
    EXPECT_EQ(v->printer()->MinPage, 1);
    EXPECT_EQ(v->printer()->MaxPage, 3);
    EXPECT_EQ(v->printer()->DialogOptions, 0);
    EXPECT_EQ(ScriptedPrompts::instance().dialogTitles.size(), 1);
}

TEST_F(ViewerImageOps, PrintingAllPagesIsOneJobAndOnePageUsesThePageLoop)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    const QString single = dir.filePath("single.pdf");
    printTo(single, QPrinter::AllPages);
    trigger(v, "mnuFitToPage");
    ASSERT_TRUE(QFileInfo::exists(single));
    EXPECT_EQ(pdfPages(single), 1);
    EXPECT_EQ(v->printer()->printer().docName(), QStringLiteral("Orrindale"));

    threePages(v);
    const QString all = dir.filePath("all.pdf");
    printTo(all, QPrinter::AllPages);
    trigger(v, "mnuCentered");
    EXPECT_EQ(pdfPages(all), 3);

    // Pages 2 to 3 go to the file one after the other, neither replacing
    // the other.
    const QString range = dir.filePath("range.pdf");
    printTo(range, QPrinter::PageRange, 2, 3);
    trigger(v, "mnuTopLeft");
    EXPECT_EQ(pdfPages(range), 2);
    QProcess::execute(QStringLiteral("pdfimages"), {QStringLiteral("-png"), range, dir.filePath("range")});
    EXPECT_EQ(QImage(dir.filePath("range-000.png")).width(), 50);
    EXPECT_EQ(QImage(dir.filePath("range-001.png")).width(), 60);
}

TEST_F(ViewerImageOps, PageSetupIsShownOverTheViewer)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    trigger(v, "mnuPageSetup");
    EXPECT_EQ(ScriptedPrompts::instance().dialogTitles.size(), 1);
}

TEST_F(ViewerImageOps, KeyPromptPassesTheKeyAsTyped)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    const QImage original = shown(v);

    answerKey(QString(), true);          // OK with no key
    v->Encrypt();
    EXPECT_EQ(shown(v), original);
    answerKey(QStringLiteral("secret"), false);
    v->Encrypt();
    EXPECT_EQ(shown(v), original);
    EXPECT_EQ(ScriptedPrompts::instance().dialogTitles, (QStringList{"Encryption", "Encryption"}));

    answerKey(QStringLiteral(" secret "), true);
    v->Encrypt();
    EXPECT_NE(shown(v), original);
    const QImage sealed = shown(v);
    answerKey(QStringLiteral("secret"), true);   // without the blanks: another key, refused
    v->Decrypt();
    EXPECT_EQ(shown(v), sealed);
    answerKey(QStringLiteral(" secret "), true);
    v->Decrypt();
    EXPECT_EQ(shown(v), original);
    EXPECT_EQ(ScriptedPrompts::instance().dialogTitles.last(), QStringLiteral("Decryption"));
}

TEST_F(ViewerImageOps, WithNoImageDecryptIsQuietAndEncryptReportsToItsCaller)
{
    frmViwer *v = show({QString()});
    answerKey(QStringLiteral("key"), true);
    EXPECT_NO_THROW(v->Decrypt());
    answerKey(QStringLiteral("key"), true);
    EXPECT_THROW(v->Encrypt(), ImgXError);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ViewerImageOps, TheCipherShowsABusyCursorWhileItWorks)
{
    frmViwer *v = show({image("a.png", 60, 40)});
    QList<int> shapes;
    QObject::connect(v->imgX(), &ImgX::ViewChanged, v, [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        shapes << (cursor ? int(cursor->shape()) : -1);
    });
    answerKey(QStringLiteral("key"), true);
    v->Encrypt();
    ASSERT_FALSE(shapes.isEmpty());
    EXPECT_EQ(shapes.last(), int(Qt::WaitCursor));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    answerKey(QStringLiteral("wrong"), true);   // refused: the cursor comes back all the same
    v->Decrypt();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
