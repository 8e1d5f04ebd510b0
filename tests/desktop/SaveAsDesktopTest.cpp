// File > Save As and File > Open with Qt's own file dialog, driven by real
// clicks and keys: the filter the dialog opens on, and the format written
// for the filter the user picks.

#include "Desktop.h"
#include "DesktopViewer.h"
#include "ImgX.h"
#include "ImgXDialog.h"
#include "TestFiles.h"
#include "frmViwer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
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
    Desktop::keys({"Return"});
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
