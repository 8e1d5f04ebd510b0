// The skinned windows as users see them under the palettes their desktops
// set: the skin's own colours, and text that stands out from what lies
// behind it.

#include "FolderTree.h"
#include "ImageExplore.h"
#include "ListView.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "TextContrast.h"
#include "frmFile.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using TextContrast::Readable;

struct SystemPalette {
    const char *name;
    QPalette palette;
};

const SystemPalette kPalettes[] = {
    {"light", TextContrast::systemPalette(QColor(0xef, 0xef, 0xef), Qt::black, Qt::white, QColor(0x30, 0x8c, 0xc6))},
    {"dark", TextContrast::systemPalette(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x23, 0x23, 0x23), QColor(0x2a, 0x82, 0xda))},
    {"high contrast", TextContrast::systemPalette(Qt::black, Qt::white, Qt::black, Qt::cyan)},
};

class SkinLookTest : public ::testing::TestWithParam<SystemPalette> {
protected:
    void SetUp() override
    {
        saved = QApplication::palette();
        QApplication::setPalette(GetParam().palette);
        ScriptedPrompts::instance().reset();
        ScriptedPrompts::instance().answerMessage(Prompts::Yes);
        ASSERT_TRUE(TestFiles::writeImage(dir.filePath("a picture.png"), 64, 48, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(dir.filePath("another.png"), 64, 48, "PNG"));
        window = std::make_unique<frmMain>();
        ASSERT_TRUE(window->Form_Load({}));
        window->show();
    }

    void TearDown() override
    {
        frmViwer::unloadIfLoaded();
        frmFile::Unload();
        window.reset();
        QApplication::setPalette(saved);
    }

    QPalette saved;
    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;
};

QRect inWindow(QWidget *widget, const QRect &rect)
{
    return QRect(widget->mapTo(widget->window(), rect.topLeft()), rect.size());
}

}

TEST_P(SkinLookTest, TheMainWindowHasTheSkinsColourAndReadableTreeAndNames)
{
    QApplication::processEvents();   // the tree is ready and lists the Desktop
    window->ImageExplore1->ExplorePath(dir.path());
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(0xee, 0xf1, 0xf6));

    QTreeWidget *tree = window->TV1->view();
    QTreeWidgetItem *node = tree->topLevelItem(0)->child(0);
    ASSERT_NE(node, nullptr);
    node->setSelected(false);
    const int icon = tree->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, tree);
    QRect label = tree->visualItemRect(node).adjusted(icon + 6, 0, 0, 0);
    label.setWidth(tree->fontMetrics().horizontalAdvance(node->text(0)));
    EXPECT_GE(TextContrast::inArea(window->grab().toImage(), inWindow(tree->viewport(), label)), Readable) << "tree";

    ListView *list = window->ImageExplore1->listView();
    ASSERT_EQ(list->Count(), 2);
    const QRect item = list->visualRect(list->model()->index(list->SelectedItem() == 1 ? 1 : 0, 0));
    const QRect name(item.left(), item.bottom() - 2 * list->fontMetrics().lineSpacing(), item.width(),
                     list->fontMetrics().lineSpacing());
    EXPECT_GE(TextContrast::inArea(shot, inWindow(list->viewport(), name)), Readable) << "thumbnail name";
}

TEST_P(SkinLookTest, ViewerMenusAndDialogTextBoxesAreReadable)
{
    frmViwer *viewer = frmViwer::instance();
    viewer->show();
    QMenuBar *bar = viewer->menuBar();
    QAction *first = bar->actions().value(0);
    ASSERT_NE(first, nullptr);
    EXPECT_GE(TextContrast::inArea(viewer->grab().toImage(), inWindow(bar, bar->actionGeometry(first))), Readable)
        << "menu bar";
    QMenu *menu = first->menu();
    menu->ensurePolished();
    menu->adjustSize();
    EXPECT_GE(TextContrast::inArea(menu->grab().toImage(), menu->actionGeometry(menu->actions().value(0))), Readable)
        << "menu";

    double box = 0;
    ScriptedPrompts::instance().answerDialog([&](QDialog *dialog) {
        auto *form = qobject_cast<frmFile *>(dialog);
        QLineEdit *source = form->txtSource();
        box = TextContrast::inArea(form->grab().toImage(), QRect(source->pos(), source->size()).adjusted(3, 3, -3, -3));
        return int(QDialog::Rejected);
    });
    frmFile::ShowFileForm(1, dir.filePath("a picture.png"));
    EXPECT_GE(box, Readable) << "text box";
}

INSTANTIATE_TEST_SUITE_P(SystemPalettes, SkinLookTest, ::testing::ValuesIn(kPalettes),
                         [](const auto &info) { return QString::fromLatin1(info.param.name).remove(' ').toStdString(); });
