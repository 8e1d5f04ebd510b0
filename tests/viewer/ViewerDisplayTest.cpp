// Showing entries of an image list: wrap, sizing in twips, stepping, the
// title, the status bar and the zoom steps.

#include "ViewerFixture.h"

#include "ImgX.h"
#include "ScreenMetrics.h"
#include "StatusBar.h"
#include "StatusText.h"
#include "TestFiles.h"
#include "Toolbar.h"
#include "frmViwer.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTest>

namespace {
double tppx() { return ScreenMetrics::twipsPerPixelX(); }
double tppy() { return ScreenMetrics::twipsPerPixelY(); }
}

class ViewerDisplay : public ViewerFixture {};

TEST_F(ViewerDisplay, IndexOutsideByOneWrapsAndIsWrittenBack)
{
    const QStringList files = {image("a.png", 120, 120), image("b.png", 120, 120), image("c.png", 120, 120)};
    frmViwer *v = viewer();
    QStringList list = files;
    int index = 3;
    v->ViewImage(list, index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_EQ(v->windowTitle(), QStringLiteral("a.png- Quillmere %1.%2").arg(QMR_VERSION_MAJOR).arg(QMR_VERSION_MINOR));

    index = -1;
    v->ViewImage(list, index);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(v->imgX()->ImageInfo.FileName(), QStringLiteral("c.png"));
    EXPECT_TRUE(v->isVisible());
}

TEST_F(ViewerDisplay, EmptyEntryClearsTheViewAndKeepsTheRest)
{
    frmViwer *v = show({image("a.png", 120, 120)});
    const QString title = v->windowTitle();
    const QSize size = v->size();

    QStringList list = {image("b.png", 150, 150), QString()};
    int index = 1;
    v->ViewImage(list, index);
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    EXPECT_EQ(v->windowTitle(), title);
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_EQ(v->files(), list);
    EXPECT_EQ(v->size(), size);
    EXPECT_TRUE(v->isVisible());
}

TEST_F(ViewerDisplay, ListsTheWrapCannotMendChangeNothing)
{
    const QString a = image("a.png", 120, 120);
    frmViwer *v = show({a});
    QStringList empty;
    int index = 0;
    v->ViewImage(empty, index);
    QStringList three = {a, a, a};
    index = 7;
    v->ViewImage(three, index);
    EXPECT_EQ(v->files(), QStringList{a});
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_EQ(v->imgX()->Pages.Count(), 1);
}

TEST_F(ViewerDisplay, SmallIconGetsTheFixedWindowCentredOnScreen)
{
    frmViwer *v = show({image("tiny.png", 32, 32)});
    EXPECT_TWIPS(FormGeometry::width(v), 7590, tppx());
    EXPECT_TWIPS(FormGeometry::height(v), 4600, tppy());
    EXPECT_TWIPS(FormGeometry::left(v), (ScreenMetrics::screenWidthTwips() - FormGeometry::width(v)) / 2, tppx());
    EXPECT_TWIPS(FormGeometry::top(v), (ScreenMetrics::screenHeightTwips() - FormGeometry::height(v)) / 2, tppy());
    // The layout then fits the image control to the window, down to the status bar.
    EXPECT_EQ(v->imgX()->width(), v->width());
    EXPECT_EQ(v->imgX()->mapTo(v, QPoint(0, v->imgX()->height())).y(), v->statusBar()->geometry().top());
}

TEST_F(ViewerDisplay, LongFileNameDoesNotWidenTheWindow)
{
    frmViwer *v = show({image(QString(120, QLatin1Char('n')) + QStringLiteral(".png"), 32, 32)});
    processEvents();
    EXPECT_TWIPS(FormGeometry::width(v), 7590, tppx());
}

TEST_F(ViewerDisplay, WidthRuleAtTheSixThousandTwipBoundary)
{
    const int wide = int(std::ceil(6000 / tppx()));      // 400 pixels at 15 twips per pixel
    frmViwer *v = show({image("wide.png", wide, 300)});
    EXPECT_TWIPS(FormGeometry::width(v), wide * tppx(), tppx());
    EXPECT_TWIPS(FormGeometry::height(v), FormGeometry::controlHeight(v->toolbar()) + 300 * tppy() + 400 + 1000, tppy());

    QStringList narrower = {image("narrow.png", wide - 1, 300)};
    int index = 0;
    v->ViewImage(narrower, index);
    EXPECT_TWIPS(FormGeometry::width(v), 7590, tppx());
}

TEST_F(ViewerDisplay, HeightRuleAtOneHundredPixels)
{
    frmViwer *v = show({image("h100.png", 500, 100)});
    EXPECT_TWIPS(FormGeometry::height(v), FormGeometry::controlHeight(v->toolbar()) + 100 * tppy() + 1400, tppy());

    QStringList low = {image("h99.png", 500, 99)};
    int index = 0;
    v->ViewImage(low, index);
    EXPECT_TWIPS(FormGeometry::height(v), 4600, tppy());
}

TEST_F(ViewerDisplay, ImageLargerThanTheScreenIsZoomedToTheWindowWidth)
{
    const QSize screen(int(ScreenMetrics::screenWidthTwips() / tppx()), int(ScreenMetrics::screenHeightTwips() / tppy()));
    const int w = screen.width() * 2, h = screen.height() * 2;
    frmViwer *v = show({image("huge.png", w, h)});
    EXPECT_LE(FormGeometry::width(v), ScreenMetrics::screenWidthTwips() + tppx());
    EXPECT_NEAR(v->imgX()->Zoom(), FormGeometry::width(v) / (w * tppx()), 1e-4);
    EXPECT_EQ(v->imgX()->ScrollMode(), 3);

    // Larger in one direction only: the zoom the caller set stays.
    QStringList tall = {image("tall.png", 300, h)};
    int index = 0;
    v->imgX()->setZoom(1.0);
    v->ViewImage(tall, index);
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.0);
}

TEST_F(ViewerDisplay, MaximisedWindowKeepsItsGeometry)
{
    frmViwer *v = show({image("a.png", 200, 200)});
    v->showMaximized();
    processEvents();
    const QRect before = v->geometry();
    QStringList other = {image("b.png", 640, 480)};
    int index = 0;
    v->ViewImage(other, index);
    processEvents();
    EXPECT_EQ(v->geometry(), before);
    EXPECT_EQ(v->imgX()->width(), v->width());
}

TEST_F(ViewerDisplay, StepsStopAtTheEndsAndPassOneEmptyEntry)
{
    const QString a = image("a.png", 120, 120), b = image("b.png", 130, 130), c = image("c.png", 140, 140);
    frmViwer *v = show({a, b, QString()}, 1);
    v->imgX()->setZoom(2.0);
    v->ShowNext();           // the empty last entry is passed and the wrap shows the first
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.0);

    v->imgX()->setZoom(2.0);
    v->ShowPrevious();       // on the first entry: nothing, not even the zoom
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 2.0);

    QStringList last = {a, b, c};
    int index = 2;
    v->ViewImage(last, index);
    v->ShowNext();
    EXPECT_EQ(v->currentIndex(), 2);
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 2.0);
    v->ShowPrevious();
    EXPECT_EQ(v->currentIndex(), 1);
    EXPECT_EQ(v->imgX()->ImageInfo.FileName(), QStringLiteral("b.png"));
}

TEST_F(ViewerDisplay, DamagedFileShowsAnEmptyViewAndSteppingGoesOn)
{
    const QString a = image("a.png", 120, 120), c = image("c.png", 140, 140);
    const QString broken = dir.filePath("broken.jpg");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();

    frmViwer *v = show({a, broken, c});
    v->ShowNext();
    EXPECT_EQ(v->currentIndex(), 1);
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("broken.jpg- Quillmere")));
    EXPECT_TRUE(v->isVisible());
    v->ShowNext();
    EXPECT_EQ(v->imgX()->ImageInfo.FileName(), QStringLiteral("c.png"));
}

TEST_F(ViewerDisplay, TitleAndLoaderFollowTheWholeFileName)
{
    // a.b.c.png keeps all of its name; ICO in any case and a file without an
    // extension go through the picture loader.
    frmViwer *v = show({image("a.b.c.png", 120, 120)});
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("a.b.c.png- Quillmere ")));

    const QString icon = image("logo.Ico", 48, 48, "ICO");
    QStringList list = {icon};
    int index = 0;
    v->ViewImage(list, index);
    EXPECT_EQ(v->imgX()->ImageInfo.Format(), int(ImgXFormatPicture));

    const QString bare = dir.filePath("noextension");
    ASSERT_TRUE(QFile::copy(image("tmp.png", 64, 64), bare));
    list = {bare};
    v->ViewImage(list, index);
    EXPECT_EQ(v->imgX()->ImageInfo.Format(), int(ImgXFormatPicture));
}

TEST_F(ViewerDisplay, RemovingAnEntryKeepsTheIndex)
{
    const QString a = image("a.png", 120, 120), b = image("b.png", 120, 120), c = image("c.png", 120, 120);
    frmViwer *v = show({a, b, c}, 1);
    v->RemoveFromFileList(1);
    EXPECT_EQ(v->files(), (QStringList{a, c}));
    EXPECT_EQ(v->currentIndex(), 1);
}

TEST_F(ViewerDisplay, BackToBrowserShowsTheMainWindowWithTheFile)
{
    const QString a = image("a.png", 120, 120), b = image("b.png", 120, 120);
    frmViwer *v = show({a, b}, 1);
    v->BackToBrowser();
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("ShowMainWindow"), QStringLiteral("CheckPath ") + b}));
}

// ---- Status bar ----

TEST_F(ViewerDisplay, StatusBarDescribesTheShownImage)
{
    const QString photo = image("PHOTO.JPG", 800, 600, "JPG");
    frmViwer *v = show({image("a.png", 100, 100), image("b.png", 100, 100), photo}, 2);
    StatusBar *bar = v->statusPanels();
    EXPECT_EQ(bar->PanelText(1), QStringLiteral("3/3"));
    EXPECT_EQ(bar->PanelText(2), QStringLiteral("PHOTO.JPG"));
    EXPECT_EQ(bar->PanelText(3), StatusText::FormatFileSize(float(QFileInfo(photo).size())));
    EXPECT_EQ(bar->PanelText(4), QStringLiteral("800x600x24b JPG"));
    EXPECT_EQ(bar->PanelText(5), QStringLiteral("100 %"));
}

TEST_F(ViewerDisplay, IconsAndDibsAreDescribedFromTheFileCursorsFromTheControl)
{
    const QString icon = image("logo.ico", 32, 32, "ICO");
    frmViwer *v = show({icon});
    StatusBar *bar = v->statusPanels();
    EXPECT_EQ(bar->PanelText(1), QStringLiteral("1/1"));
    EXPECT_EQ(bar->PanelText(2), QStringLiteral("logo.ico"));
    EXPECT_EQ(bar->PanelText(3), StatusText::FormatFileSize(float(QFileInfo(icon).size())));
    EXPECT_EQ(bar->PanelText(4), QString());

    // A cursor is described as the control describes it: its own file,
    // after a PNG's figures.
    const QString cursor = dir.filePath("arrow.cur");
    ASSERT_TRUE(QFile::copy(image("big.ico", 48, 40, "ICO"), cursor));
    QStringList list = {image("photo.png", 300, 200), cursor};
    int index = 0;
    v->ViewImage(list, index);
    v->ShowNext();
    EXPECT_EQ(bar->PanelText(2), QStringLiteral("arrow.cur"));
    EXPECT_EQ(bar->PanelText(3), StatusText::FormatFileSize(float(QFileInfo(cursor).size())));
    EXPECT_EQ(bar->PanelText(4), QStringLiteral("48x40x32b cur"));
}

// In a narrow window what does not fit leaves the right edge of its panel,
// or of the toolbar, blank: no text or button is drawn cut through.
TEST_F(ViewerDisplay, NarrowWindowCutsNoPanelTextOrButton)
{
    frmViwer *v = show({image("wide.png", 400, 300)});
    v->resize(300, v->height());
    processEvents();
    const auto blank = [](QWidget *widget, const QRect &area) {
        const QImage shot = widget->grab().toImage();
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                if (shot.pixel(x, y) != shot.pixel(area.topRight()))
                    return false;
        return true;
    };
    auto *panel = v->statusPanels()->findChild<QLabel *>(QStringLiteral("Panel4"));   // "400x300x24b png"
    ASSERT_GT(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
    EXPECT_TRUE(blank(panel, panel->contentsRect().adjusted(panel->contentsRect().width() - 3, 0, 0, 0)));
    Toolbar *bar = v->toolbar();
    int whole = 0;
    while (bar->itemRect(whole + 1).right() < bar->width() - 1)
        ++whole;
    ASSERT_LT(whole, bar->ItemCount());
    const int from = bar->itemRect(whole).right() + 1;
    EXPECT_TRUE(blank(bar, QRect(from, 0, bar->width() - from, bar->height())));
}

TEST_F(ViewerDisplay, PositionPanelCountsTheWholeList)
{
    QStringList files;
    for (int i = 0; i < 40; ++i)
        files << (i == 2 ? image("third.png", 100, 100) : dir.filePath(QStringLiteral("other%1.png").arg(i)));
    frmViwer *v = show(files, 2);
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("3/40"));
    EXPECT_EQ(v->statusPanels()->PanelText(4), QStringLiteral("100x100x24b png"));
}

// ---- Zoom and scroll mode ----

TEST_F(ViewerDisplay, ZoomStepsStopAbove1600AndBelowHalfAPercent)
{
    frmViwer *v = show({image("a.png", 200, 200)});
    ImgX *imgX = v->imgX();
    for (int i = 0; i < 13; ++i)
        QTest::keyClick(imgX, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_NEAR(imgX->Zoom(), std::pow(1.25, 13), 1e-9);
    EXPECT_EQ(v->statusPanels()->PanelText(5), QStringLiteral("1819 %"));
    QTest::keyClick(imgX, Qt::Key_Equal);
    EXPECT_NEAR(imgX->Zoom(), std::pow(1.25, 13), 1e-9);

    imgX->setZoom(16.0);     // exactly 1600 %: one more step
    QTest::keyClick(imgX, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(imgX->Zoom(), 20.0);

    imgX->setZoom(1.0);
    for (int i = 0; i < 19; ++i)
        QTest::keyClick(imgX, Qt::Key_Minus);
    EXPECT_NEAR(imgX->Zoom(), std::pow(0.75, 19), 1e-12);
    EXPECT_EQ(v->statusPanels()->PanelText(5), QStringLiteral(" %"));
    QTest::keyClick(imgX, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_NEAR(imgX->Zoom(), std::pow(0.75, 19), 1e-12);

    imgX->setZoom(0.005);    // exactly 0.5 %: one more step
    QTest::keyClick(imgX, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(imgX->Zoom(), 0.00375);
}

TEST_F(ViewerDisplay, ZoomInThenOutLeavesNinetyFourPercent)
{
    frmViwer *v = show({image("a.png", 200, 200)});
    v->findChild<QAction *>(QStringLiteral("mnuZoomIn"))->trigger();
    v->findChild<QAction *>(QStringLiteral("mnuZoomOut"))->trigger();
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 0.9375);
    EXPECT_EQ(v->statusPanels()->PanelText(5), QStringLiteral("94 %"));
}

TEST_F(ViewerDisplay, ScrollModeComparesWithTheWholeWindow)
{
    frmViwer *v = show({image("a.png", 600, 400)});
    ImgX *imgX = v->imgX();
    // Exactly as wide as the window: still fits.
    const double exact = FormGeometry::width(v) / (600 * tppx());
    imgX->setZoom(exact);
    EXPECT_EQ(imgX->ScrollMode(), 3);
    imgX->setZoom(exact * 1.01);
    EXPECT_EQ(imgX->ScrollMode(), 2);

    // The arrow keys move the image only while it is scrollable.
    imgX->setZoom(4.0);
    ASSERT_EQ(imgX->ScrollMode(), 2);
    const int x = imgX->ScrollX();
    QTest::keyClick(imgX, Qt::Key_Right);
    EXPECT_EQ(imgX->ScrollX(), x + 5);
    QTest::keyClick(imgX, Qt::Key_Down);
    QTest::keyClick(imgX, Qt::Key_Up);
    QTest::keyClick(imgX, Qt::Key_Left);
    EXPECT_EQ(imgX->ScrollX(), x);

    imgX->setZoom(0.5);
    ASSERT_EQ(imgX->ScrollMode(), 3);
    QTest::keyClick(imgX, Qt::Key_Right);
    EXPECT_EQ(imgX->ScrollX(), 0);
}

// Opening a pipe for reading waits for a writer; the viewer must never look
// into one, whatever its name says.
TEST_F(ViewerDisplay, PipeNamedLikeAPhotoIsNeverOpened)
{
    const QString pipePath = dir.filePath("pipe.jpg");
    const QString photo = image("a.png", 40, 30);
    bool made = false;
    const bool readerWasWaiting =
        TestFiles::readerWaitedOnPipe(pipePath, [&] { show({photo, pipePath}, 1); }, &made);
    ASSERT_TRUE(made);
    EXPECT_FALSE(readerWasWaiting);

    // Beside the shown file, a pipe is a neighbour the look-ahead weighs up.
    const QString neighbour = dir.filePath("next.jpg");
    EXPECT_FALSE(TestFiles::readerWaitedOnPipe(neighbour, [&] {
        show({photo, neighbour}, 0);
        QTest::qWait(400);   // the look-ahead starts at the latest a moment after showing
    }, &made));
    EXPECT_TRUE(made);
}

TEST_F(ViewerDisplay, AnEntryThatCannotBeDecodedIsDescribedByItsOwnFile)
{
    const QString damaged = dir.filePath("damaged.png");
    ASSERT_TRUE(TestFiles::writeBytes(damaged, QByteArray(700, 'x')));
    frmViwer *v = show({image("a.png", 800, 600), damaged, dir.filePath("gone.png")}, 0);
    StatusBar *bar = v->statusPanels();
    ASSERT_EQ(bar->PanelText(4), QStringLiteral("800x600x24b png"));

    v->ShowNext();
    EXPECT_EQ(bar->PanelText(1), QStringLiteral("2/3"));
    EXPECT_EQ(bar->PanelText(2), QStringLiteral("damaged.png"));
    EXPECT_EQ(bar->PanelText(3), QStringLiteral("700 Bytes"));
    EXPECT_EQ(bar->PanelText(4), QString());

    v->ShowNext();
    EXPECT_EQ(bar->PanelText(2), QStringLiteral("gone.png"));
    EXPECT_EQ(bar->PanelText(3), QString());
    EXPECT_EQ(bar->PanelText(4), QString());
}

TEST_F(ViewerDisplay, AReloadReadsAFileThatChangedOnDisk)
{
    const QString a = image("a.png", 100, 80);
    frmViwer *v = show({a, image("b.png", 100, 80)}, 0);
    processEvents();   // the look-ahead holds a decode of the shown file too
    QImage changed = TestFiles::pattern(100, 80);
    changed.fill(Qt::green);
    ASSERT_TRUE(changed.save(a, "PNG"));

    v->ReloadImage();
    EXPECT_EQ(v->imgX()->document().current()->image.pixelColor(50, 40), QColor(Qt::green));
}
