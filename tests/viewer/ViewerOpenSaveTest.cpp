// File > Open and File > Save As: the dialogs' filters and presets, what is
// appended and shown, and saving in the ten formats.

#include "ViewerFixture.h"

#include "ImgX.h"
#include "ImgXDialog.h"
#include "ScriptedPrompts.h"
#include "StatusBar.h"
#include "TestFiles.h"
#include "frmViwer.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

namespace {

void trigger(frmViwer *v, const char *name)
{
    v->findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

void answerFiles(const QStringList &files, int filterIndex = 1)
{
    Prompts::FileDialogResult result;
    result.accepted = true;
    result.files = files;
    result.filterIndex = filterIndex;
    ScriptedPrompts::instance().answerFileDialog(result);
}

QString shownName(frmViwer *v)
{
    return v->imgX()->ImageInfo.FileName();
}

}

class ViewerOpenSave : public ViewerFixture {};

TEST_F(ViewerOpenSave, CancelledOpenChangesNothing)
{
    const QString a = image("a.png", 200, 150);
    frmViwer *v = show({a});
    EXPECT_FALSE(v->LoadImage());
    EXPECT_EQ(v->files(), QStringList{a});
    const Prompts::FileDialogRequest &request = ScriptedPrompts::instance().fileDialogs.last();
    EXPECT_FALSE(request.save);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.fileMustExist);
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral("All Images|*.jpg;*.jpeg;*.gif;")));
    EXPECT_TRUE(request.filter.contains(QStringLiteral("|ICO Files  <ICO>|*.ICO|Windows Enhanced Meta File <EMF>|*.emf|")));
    EXPECT_TRUE(request.filter.endsWith(QStringLiteral("|All Files|*.*")));
    EXPECT_EQ(request.filter.count(QLatin1Char('|')), 27);
}

TEST_F(ViewerOpenSave, OpenedFilesAreAppendedAndTheFirstIsShown)
{
    const QString a = image("a.png", 200, 150), b = image("b.png", 210, 150), c = image("c.png", 220, 150);
    frmViwer *v = show({a});
    const QSize size = v->size();
    v->imgX()->setZoom(1.5);

    answerFiles({b});
    trigger(v, "mnuopen");
    answerFiles({b, c});
    EXPECT_TRUE(v->LoadImage());
    EXPECT_EQ(v->files(), (QStringList{a, b, b, c}));
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("b.png- Quillmere")));
    // The index follows the file on show, so the next step is c.
    EXPECT_EQ(v->currentIndex(), 2);
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("3/4"));
    EXPECT_EQ(v->size(), size);
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.5);
    v->ShowNext();
    EXPECT_EQ(shownName(v), QStringLiteral("c.png"));
}

TEST_F(ViewerOpenSave, OpenedFileWithoutExtensionIsAPictureAndABrokenOneShowsNothing)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    const QString bare = dir.filePath("plain");
    ASSERT_TRUE(QFile::copy(image("tmp.png", 64, 64), bare));
    answerFiles({bare}, 14);
    v->LoadImage();
    EXPECT_EQ(v->imgX()->ImageInfo.Format(), int(ImgXFormatPicture));

    const QString broken = dir.filePath("broken.jpg");
    ASSERT_TRUE(TestFiles::writeBytes(broken, "no jpeg here"));
    answerFiles({broken});
    EXPECT_TRUE(v->LoadImage());
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    EXPECT_EQ(v->files().last(), broken);
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("broken.jpg")));
}

TEST_F(ViewerOpenSave, SaveAsWritesEachOfTheTenFormats)
{
    frmViwer *v = show({image("source.png", 64, 48)});
    const struct { int index; const char *ext; int code; } formats[] = {
        {1, "jpg", 1}, {2, "png", 2}, {3, "psd", 9}, {4, "tif", 3}, {5, "pcx", 4},
        {6, "tga", 5}, {7, "wbmp", 10}, {8, "bmp", 6}, {9, "wmf", 7}, {10, "emf", 8}};
    for (const auto &format : formats) {
        const QString path = dir.filePath(QStringLiteral("out.%1").arg(QLatin1String(format.ext)));
        answerFiles({path}, format.index);
        trigger(v, "mnuSaveAs");
        ASSERT_TRUE(QFileInfo::exists(path)) << format.ext;
        ImgXDocument saved;
        saved.Loader.LoadFromFile(path);
        EXPECT_EQ(saved.ImageInfo.Format(), format.code) << format.ext;
        EXPECT_EQ(saved.ImageInfo.Width(), 64) << format.ext;
        EXPECT_EQ(saved.ImageInfo.Height(), 48) << format.ext;
    }
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
    const Prompts::FileDialogRequest &request = ScriptedPrompts::instance().fileDialogs.first();
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(request.filter.count(QLatin1Char('|')), 19);
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral("Joint Photographic Experts Group  <JPG>|*.jpg|")));
    EXPECT_TRUE(request.filter.endsWith(QStringLiteral("|Windows Enhanced Metafile  <EMF>|*.emf")));
}

TEST_F(ViewerOpenSave, SaveFilterStartsFromTheFormatOnShow)
{
    frmViwer *v = show({image("a.png", 64, 48)});
    const QString emf = dir.filePath("picture.emf");
    answerFiles({emf}, 10);
    trigger(v, "mnuSaveAs");
    const QString psd = dir.filePath("layers.psd");
    answerFiles({psd}, 3);
    trigger(v, "mnuSaveAs");

    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    QStringList list = {emf};
    int index = 0;
    v->ViewImage(list, index);
    trigger(v, "mnuSaveAs");
    EXPECT_EQ(prompts.fileDialogs.last().filterIndex, 10);
    EXPECT_EQ(prompts.fileDialogs.last().defaultExt, QStringLiteral("emf"));
    list = {psd};
    v->ViewImage(list, index);
    trigger(v, "mnuSaveAs");
    EXPECT_EQ(prompts.fileDialogs.last().filterIndex, 3);
    EXPECT_EQ(prompts.fileDialogs.last().defaultExt, QStringLiteral("psd"));

    // A GIF has no save filter of its own: the index left by the last
    // dialog stays, and past the ten save filters there is no extension.
    // The smallest GIF: one white pixel.
    const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00"
                       "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("anim.gif"), QByteArray(gif, sizeof gif - 1)));
    answerFiles({dir.filePath("anim.gif")}, 13);
    v->LoadImage();
    ASSERT_EQ(v->imgX()->ImageInfo.Format(), int(ImgXFormatGIF));
    trigger(v, "mnuSaveAs");
    EXPECT_EQ(prompts.fileDialogs.last().filterIndex, 13);
    EXPECT_EQ(prompts.fileDialogs.last().defaultExt, QString());
}

TEST_F(ViewerOpenSave, ChosenFilterDecidesTheFormatWhateverTheName)
{
    frmViwer *v = show({image("a.png", 64, 48)});
    const QString path = dir.filePath("named.png");
    answerFiles({path}, 1);
    trigger(v, "mnuSaveAs");
    EXPECT_TRUE(TestFiles::readBytes(path).startsWith("\xFF\xD8"));
}

TEST_F(ViewerOpenSave, NothingToSaveAndFailedWritesAreReported)
{
    frmViwer *v = show({QString()});
    trigger(v, "mnuSaveAs");
    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    EXPECT_TRUE(prompts.fileDialogs.isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1);

    QStringList list = {image("a.png", 64, 48)};
    int index = 0;
    v->ViewImage(list, index);
    answerFiles({dir.filePath("no/such/folder/out.png")}, 2);
    trigger(v, "mnuSaveAs");
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages.last().text.contains(QStringLiteral("out.png")));

    // Cancelled: nothing written.
    trigger(v, "mnuSaveAs");
    EXPECT_EQ(prompts.messages.size(), 2);
}

TEST_F(ViewerOpenSave, SaveAfterARotationWritesTheRotatedImage)
{
    frmViwer *v = show({image("a.png", 64, 48)});
    v->findChild<QAction *>(QStringLiteral("mnuRotate1"))->trigger();
    const QString path = dir.filePath("turned.png");
    answerFiles({path}, 2);
    trigger(v, "mnuSaveAs");
    const QImage saved(path);
    EXPECT_EQ(saved.size(), QSize(48, 64));
}
