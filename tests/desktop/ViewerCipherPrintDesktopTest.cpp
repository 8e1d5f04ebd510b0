// The viewer's key prompt, its Save As and Open through Qt's own file
// dialog, and printing through Qt's own print dialog, with real clicks and
// keys on a desktop of its own.

#include "Desktop.h"
#include "DesktopViewer.h"
#include "ImagingSamples.h"
#include "ImgX.h"
#include "TestFiles.h"
#include "frmDialog.h"
#include "frmViwer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

using Desktop::clickAt;
using Desktop::typeInto;

template <class T>
T *child(QWidget *dialog, const QString &name)
{
    T *found = dialog->findChild<T *>(name);
    EXPECT_TRUE(found) << qPrintable(name);
    return found;
}

class ViewerCipherPrintDesktopTest : public DesktopViewer {
protected:
    static QImage shown(frmViwer *v)
    {
        return v->imgX()->Export.GetPicture().convertToFormat(QImage::Format_ARGB32);
    }
    // The key prompt's act: the key typed with real keys, then OK.
    static std::function<void(QWidget *)> typeKey(const QString &key)
    {
        return [key](QWidget *modal) {
            auto *prompt = qobject_cast<frmDialog *>(modal);
            ASSERT_TRUE(prompt);
            typeInto(prompt->txtText(0), key);
            clickAt(prompt->cmdOK());
        };
    }
    // A file dialog's act: the path typed into its name box, then Return.
    static std::function<void(QWidget *)> typePath(const QString &path)
    {
        return [path](QWidget *modal) {
            ASSERT_TRUE(qobject_cast<QFileDialog *>(modal));
            typeInto(child<QLineEdit>(modal, "fileNameEdit"), path);
            Desktop::keys({"Return"});
        };
    }
    // Opens the menus of the menu bar along the captions and picks the last.
    static void pickMenu(frmViwer *v, const QStringList &captions)
    {
        QWidget *menu = v->menuBar();
        for (const QString &caption : captions) {
            QAction *action = nullptr;
            for (QAction *a : menu->actions())
                if (a->text().trimmed() == caption)
                    action = a;
            ASSERT_TRUE(action) << qPrintable(caption);
            const QRect where = qobject_cast<QMenuBar *>(menu) ? static_cast<QMenuBar *>(menu)->actionGeometry(action)
                                                               : static_cast<QMenu *>(menu)->actionGeometry(action);
            clickAt(menu, where.center());
            if (QMenu *sub = action->menu()) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return sub->isVisible(); }, 3000)) << qPrintable(caption);
                menu = sub;
            }
        }
    }
};

}

TEST_F(ViewerCipherPrintDesktopTest, AnImageEncryptedSavedAndOpenedAgainDecryptsToItsPixels)
{
    const QString source = dir.filePath("photo.png");
    ASSERT_TRUE(ImagingSamples::noisy(64, 48).save(source));
    frmViwer *v = show({source});
    const QImage original = shown(v);
    const QString sealedFile = dir.filePath("sealed.png");

    modals.then(typeKey("k3y phrase"));
    v->Encrypt();
    const QImage sealed = shown(v);
    ASSERT_NE(sealed, original);

    modals.then(typePath(sealedFile));
    Desktop::keys({"ctrl+s"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(sealedFile); }, 5000));
    EXPECT_TRUE(TestFiles::readBytes(sealedFile).startsWith("\x89PNG"));

    v->imgX()->Pages.Clear(QString());
    modals.then(typePath(sealedFile));
    Desktop::keys({"ctrl+o"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return v->windowTitle().contains("sealed.png"); }, 5000));
    EXPECT_EQ(shown(v), sealed);

    // A wrong key changes nothing and says nothing.
    modals.then(typeKey("k3y phrasE"));
    v->Decrypt();
    EXPECT_EQ(shown(v), sealed);
    modals.then(typeKey("k3y phrase"));
    v->Decrypt();
    EXPECT_EQ(shown(v), original);
}

TEST_F(ViewerCipherPrintDesktopTest, PrintingAPageRangeToAFileKeepsEveryPageOfTheRange)
{
    const QString tiff = dir.filePath("pages.tif");
    ASSERT_TRUE(TestFiles::writeBytes(tiff, ImagingSamples::tiffOfPages(3, 40)));
    frmViwer *v = show({tiff});
    const QString pdf = dir.filePath("printed.pdf");

    modals.then([&](QWidget *modal) {
        ASSERT_TRUE(qobject_cast<QPrintDialog *>(modal));
        auto *printers = child<QComboBox>(modal, "printers");
        ASSERT_EQ(printers->currentText(), "Print to File (PDF)");
        typeInto(child<QLineEdit>(modal, "filename"), pdf);
        auto *buttons = modal->findChild<QDialogButtonBox *>();
        for (QAbstractButton *button : buttons->buttons())
            if (button->text().contains("Options"))
                clickAt(button);
        auto *tabs = child<QTabWidget>(modal, "tabs");
        ASSERT_TRUE(QTest::qWaitFor([&] { return tabs->isVisible(); }, 3000));
        clickAt(tabs->tabBar(), tabs->tabBar()->tabRect(tabs->indexOf(child<QWidget>(modal, "copiesTab"))).center());
        auto *range = child<QRadioButton>(modal, "printRange");
        ASSERT_TRUE(QTest::qWaitFor([&] { return range->isVisible(); }, 3000));
        clickAt(range, QPoint(8, range->height() / 2));
        typeInto(child<QSpinBox>(modal, "from"), "2");
        typeInto(child<QSpinBox>(modal, "to"), "3");
        clickAt(buttons->button(QDialogButtonBox::Ok));
    });
    pickMenu(v, {"File", "Print", "Top Left"});

    ASSERT_TRUE(QFile::exists(pdf));
    const QString info = Desktop::tool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("\nPages: +2\n"))) << qPrintable(info);
    // Pages 2 and 3, each coloured in its first row.
    Desktop::tool("pdfimages", {"-png", pdf, dir.filePath("page")});
    EXPECT_EQ(QImage(dir.filePath("page-000.png")).pixelColor(0, 0), ImagingSamples::colourOfPage(1));
    EXPECT_EQ(QImage(dir.filePath("page-001.png")).pixelColor(0, 0), ImagingSamples::colourOfPage(2));
}
