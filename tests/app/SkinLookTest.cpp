// The skinned windows as users see them under the palettes their desktops
// set: the skin's own colours, and text that stands out from what lies
// behind it.

#include "FolderTree.h"
#include "ImageExplore.h"
#include "ListView.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "frmFile.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QStyle>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cmath>

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast of any pixel of the area against the area's
// commonest colour: what text drawn there stands out by (1 when nothing does).
double textContrast(const QImage &shot, const QRect &area)
{
    const QRect pixels(area.topLeft() * shot.devicePixelRatio(), area.size() * shot.devicePixelRatio());
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            ++counts[shot.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(background, most) = std::make_pair(it.key(), it.value());
    double strongest = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        strongest = std::max(strongest, contrast(QColor(it.key()), QColor(background)));
    return strongest;
}

QPalette paletteOf(const QColor &back, const QColor &text, const QColor &base, const QColor &highlight)
{
    QPalette p(back);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
        p.setColor(role, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base);
    p.setColor(QPalette::Button, back);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, base);
    return p;
}

struct SystemPalette {
    const char *name;
    QPalette palette;
};

const SystemPalette kPalettes[] = {
    {"light", paletteOf(QColor(0xef, 0xef, 0xef), Qt::black, Qt::white, QColor(0x30, 0x8c, 0xc6))},
    {"dark", paletteOf(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x23, 0x23, 0x23), QColor(0x2a, 0x82, 0xda))},
    {"high contrast", paletteOf(Qt::black, Qt::white, Qt::black, Qt::cyan)},
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

// Text must stand out clearly (4.5 is the usual floor for body text).
constexpr double Readable = 4.5;

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
    EXPECT_GE(textContrast(window->grab().toImage(), inWindow(tree->viewport(), label)), Readable) << "tree";

    ListView *list = window->ImageExplore1->listView();
    ASSERT_EQ(list->Count(), 2);
    const QRect item = list->visualRect(list->model()->index(list->SelectedItem() == 1 ? 1 : 0, 0));
    const QRect name(item.left(), item.bottom() - 2 * list->fontMetrics().lineSpacing(), item.width(),
                     list->fontMetrics().lineSpacing());
    EXPECT_GE(textContrast(shot, inWindow(list->viewport(), name)), Readable) << "thumbnail name";
}

TEST_P(SkinLookTest, ViewerMenusAndDialogTextBoxesAreReadable)
{
    frmViwer *viewer = frmViwer::instance();
    viewer->show();
    QMenuBar *bar = viewer->menuBar();
    QAction *first = bar->actions().value(0);
    ASSERT_NE(first, nullptr);
    EXPECT_GE(textContrast(viewer->grab().toImage(), inWindow(bar, bar->actionGeometry(first))), Readable)
        << "menu bar";
    QMenu *menu = first->menu();
    menu->ensurePolished();
    menu->adjustSize();
    EXPECT_GE(textContrast(menu->grab().toImage(), menu->actionGeometry(menu->actions().value(0))), Readable)
        << "menu";

    double box = 0;
    ScriptedPrompts::instance().answerDialog([&](QDialog *dialog) {
        auto *form = qobject_cast<frmFile *>(dialog);
        QLineEdit *source = form->txtSource();
        box = textContrast(form->grab().toImage(), QRect(source->pos(), source->size()).adjusted(3, 3, -3, -3));
        return int(QDialog::Rejected);
    });
    frmFile::ShowFileForm(1, dir.filePath("a picture.png"));
    EXPECT_GE(box, Readable) << "text box";
}

INSTANTIATE_TEST_SUITE_P(SystemPalettes, SkinLookTest, ::testing::ValuesIn(kPalettes),
                         [](const auto &info) { return QString::fromLatin1(info.param.name).remove(' ').toStdString(); });
