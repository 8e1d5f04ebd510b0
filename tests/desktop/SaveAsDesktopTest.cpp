// File > Save As and File > Open with Qt's own file dialog, driven by real
// clicks and keys: the filter the dialog opens on, and the name, format and
// folder of what is written for the filter the user picks, and how.

#include "Desktop.h"
#include "DesktopViewer.h"
#include "ImgX.h"
#include "ImgXDialog.h"
#include "TestFiles.h"
#include "frmViwer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest/QTest>

namespace {

QComboBox *filterBox(QWidget *dialog)
{
    return dialog->findChild<QComboBox *>("fileTypeCombo");
}

// Picks the filter whose text starts with `start` from the dialog's list
// with the mouse, then types the file name and presses Enter.
void pickFilterAndName(QWidget *dialog, const QString &start, const QString &name)
{
    QComboBox *box = filterBox(dialog);
    ASSERT_TRUE(box) << "not a file dialog: " << dialog->windowTitle().toStdString();
    int row = -1;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).startsWith(start))
            row = i;
    ASSERT_GE(row, 0) << start.toStdString();
    Desktop::clickAt(box);
    QAbstractItemView *list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 3000));
    list->scrollTo(list->model()->index(row, 0));
    Desktop::clickAt(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->currentIndex() == row && !list->isVisible(); }, 3000));
    auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
    ASSERT_TRUE(edit);
    Desktop::typeInto(edit, name);
    // Pressed once this act has returned, so that a question the key brings
    // up (a replace question) finds the script free to answer it.
    QTimer::singleShot(0, [] { Desktop::keys({"Return"}); });
}

}

class SaveAsDesktopTest : public DesktopViewer {};

TEST_F(SaveAsDesktopTest, ChosenFilterDecidesTheFormatAndThePresetIsPreselected)
{
    frmViwer *viewer = show({image("shown.bmp", 120, 90, "BMP")});
    QString preselected;
    modals.then([&](QWidget *dialog) {
        preselected = filterBox(dialog)->currentText();
        pickFilterAndName(dialog, "Portable Network Graphics", dir.filePath("out.bmp"));
    });
    Desktop::keys({"ctrl+s"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("out.bmp")); }, 10000));
    EXPECT_TRUE(preselected.startsWith("Windows Bitmap")) << preselected.toStdString();
    EXPECT_TRUE(TestFiles::readBytes(dir.filePath("out.bmp")).startsWith("\x89PNG"));
    EXPECT_EQ(viewer->fileDialog()->FilterIndex, 2);

    // Open leaves the dialog object on the filter picked there; a GIF has no
    // save preset, so Save As opens on that index and saves what is picked.
    const QString gif = dir.filePath("dot.gif");
    ASSERT_TRUE(TestFiles::writeBytes(gif, QByteArray::fromHex("47494638396101000100800000ffffff0000002c"
                                                                "00000000010001000002024401003b")));
    modals.then([&](QWidget *dialog) { pickFilterAndName(dialog, "Graphics Interchange Format", gif); });
    viewer->LoadImage();
    EXPECT_EQ(viewer->fileDialog()->FilterIndex, 3);
    modals.then([&](QWidget *dialog) { pickFilterAndName(dialog, "Windows Bitmap", dir.filePath("again.png")); });
    Desktop::keys({"ctrl+s"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("again.png")); }, 10000));
    EXPECT_TRUE(TestFiles::readBytes(dir.filePath("again.png")).startsWith("BM"));
}

// A bare name gets the picked filter's extension; a folder nothing could be written in is
// not kept; a large file is written under the wait cursor while the window goes on painting.
TEST_F(SaveAsDesktopTest, SaveAsNamesWhatItWritesAndKeepsTheWindowAlive)
{
    show({image("shown.png", 64, 48)});
    const struct { const char *filter; const char *ext; int code; } formats[] = {
        {"Joint Photographic", "jpg", 1}, {"Portable Network", "png", 2}, {"Photoshop", "psd", 9},
        {"Tagged Image", "tif", 3}, {"ZSoft", "pcx", 4}, {"Truevision", "tga", 5}, {"Wireless", "wbmp", 10},
        {"Windows Bitmap", "bmp", 6}, {"Windows Metafile", "wmf", 7}, {"Windows Enhanced", "emf", 8}};
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("pic.bmp"), "old"));
    QStringList folders, texts;   // where each file dialog opened; the message boxes' texts
    // Save As with a filter and a name; a message box it brings up gets the answer key.
    const auto saveAs = [&](const char *filter, const QString &name, const QString &answer = QString()) {
        modals.then([&folders, filter, name](QWidget *dialog) {
            folders << static_cast<QFileDialog *>(dialog)->directory().absolutePath();
            pickFilterAndName(dialog, filter, name);
        });
        if (!answer.isEmpty()) {
            modals.then([&texts, answer](QWidget *box) {
                texts << static_cast<QMessageBox *>(box)->text();
                Desktop::keys({answer});
            });
        }
        // Keys go to the focused window: the viewer, focused as a click would where a busy WM left it.
        if (!QTest::qWaitFor([] { return frmViwer::instance()->isActiveWindow(); }, 3000))
            frmViwer::instance()->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([] { return frmViwer::instance()->isActiveWindow(); }, 5000));
        Desktop::keys({"ctrl+s"});
    };
    for (const auto &format : formats) {
        saveAs(format.filter, "pic", format.code == 6 ? "alt+y" : "");
        const QString written = dir.filePath(QStringLiteral("pic.%1").arg(format.ext));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(written).size() > 3; }, 10000)) << format.ext;
        ImgXDocument saved;
        saved.Loader.LoadFromFile(written);
        EXPECT_EQ(saved.ImageInfo.Format(), format.code) << format.ext;
    }
    saveAs("Portable Network", "/sys/holiday.png", "Return");
    ASSERT_TRUE(QTest::qWaitFor([&] { return texts.size() == 2; }, 10000));
    EXPECT_TRUE(texts[0].startsWith("pic.bmp already exists")) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].contains("the folder /sys belongs to the system and holds no files")) << texts[1].toStdString();

    QImage noise(3000, 2000, QImage::Format_RGB32);   // slow to encode
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(noise.bits()), noise.sizeInBytes() / 4);
    ASSERT_TRUE(noise.save(dir.filePath("noise.bmp")));
    show({dir.filePath("noise.bmp")});
    const QString out = dir.filePath("noise.png");
    QList<int> cursors;   // from the first tick after the Return key until the file is there
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (folders.size() == 12 && !QApplication::activeModalWidget() && !QFile::exists(out))
            cursors << (QGuiApplication::overrideCursor() ? int(QGuiApplication::overrideCursor()->shape()) : -1);
    });
    probe.start(20);
    saveAs("Portable Network", out);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 30000));
    EXPECT_EQ(folders.first(), dir.path());   // the shown image's folder, not the working folder
    EXPECT_EQ(folders.last(), dir.path());    // not /sys
    // Ticks of the test's own key press may come first; from the first wait
    // cursor on, ticks keep coming under it until the file is written.
    const int firstWait = int(cursors.indexOf(int(Qt::WaitCursor)));
    ASSERT_GE(firstWait, 0);
    EXPECT_EQ(cursors.mid(firstWait), QList<int>(cursors.size() - firstWait, int(Qt::WaitCursor)));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
