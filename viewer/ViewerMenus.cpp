#include "ViewerMenus.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace ViewerMenus {

namespace {

struct Item {
    const char *name;
    const char *caption;
    QKeyCombination shortcut;
};

constexpr QKeyCombination kNone = QKeyCombination(Qt::Key_unknown);

QMenu *addMenu(QWidget *parentMenu, const char *name, const char *caption)
{
    auto *menu = new QMenu(QString::fromLatin1(caption), parentMenu);
    menu->setObjectName(QString::fromLatin1(name));
    if (auto *bar = qobject_cast<QMenuBar *>(parentMenu))
        bar->addMenu(menu);
    else
        static_cast<QMenu *>(parentMenu)->addMenu(menu);
    return menu;
}

void addItems(QMenu *menu, std::initializer_list<Item> items)
{
    for (const Item &item : items) {
        QAction *action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.shortcut != kNone)
            action->setShortcut(QKeySequence(item.shortcut));
    }
}

void buildFile(QMenuBar *bar)
{
    QMenu *file = addMenu(bar, "mnufile", "File");
    addItems(file, {{"mnuopen", "Open     ", Qt::CTRL | Qt::Key_O},
                    {"mnuBrowse", "Browse     ", Qt::CTRL | Qt::Key_B},
                    {"mnuSaveAs", "Save As     ", Qt::CTRL | Qt::Key_S},
                    {"mnuPageSetup", "Page Setup", kNone}});
    QMenu *print = addMenu(file, "mnuPrint", "Print");
    addItems(print, {{"mnuTopLeft", "Top Left", kNone},
                     {"mnuCentered", "Centered", kNone},
                     {"mnuFitToPage", "Fit To Page", kNone}});
    addItems(file, {{"mnuExit", "Exit         ", Qt::CTRL | Qt::Key_Q}});
}

void buildEdit(QMenuBar *bar)
{
    QMenu *edit = addMenu(bar, "mnuEdit", "Edit");
    addItems(edit, {{"mnuCopyTo", "Copy To", Qt::CTRL | Qt::Key_C},
                    {"mnuMoveTo", "Move To", Qt::CTRL | Qt::Key_M},
                    {"mnuCopyImage", "Copy Image", Qt::CTRL | Qt::Key_G},
                    {"mnuDelete", "Delete     ", QKeyCombination(Qt::Key_Delete)},
                    {"mnuRename", "Rename", QKeyCombination(Qt::Key_F2)}});
}

void buildView(QMenuBar *bar)
{
    QMenu *view = addMenu(bar, "mnuView", "View");
    addItems(view, {{"mnuFullScreen", "Full Screen", Qt::CTRL | Qt::Key_F},
                    {"mnuZoomIn", "Zoom In     ", Qt::CTRL | Qt::Key_N},
                    {"mnuZoomOut", "Zoom Out     ", Qt::CTRL | Qt::Key_U}});
    QMenu *image = addMenu(view, "mnuImage", "Image");
    addItems(image, {{"mnuNext", "Next", kNone}, {"mnuPrevious", "Previous", kNone}});
}

void buildTools(QMenuBar *bar)
{
    QMenu *tools = addMenu(bar, "mnuTools", "Tools");
    addItems(tools, {{"mnuSlideShow", "Slide Show", kNone},
                     {"mnuSlideShowDelay", "Slide Show Delay", kNone},
                     {"mnuAntiAliasDisplay", "AntiAlias Display", kNone},
                     {"mnuRotate1", "Rotate +90", kNone},
                     {"mnuRotate2", "Rotate -90", kNone},
                     {"mnuSetAsWallpaper", "Set As Wallpaper", kNone}});
    tools->findChild<QAction *>(QStringLiteral("mnuAntiAliasDisplay"))->setCheckable(true);
}

void buildHelp(QMenuBar *bar)
{
    QMenu *help = addMenu(bar, "mnuHelp", "Help");
    addItems(help, {{"mnuAbout", "About", kNone},
                    {"mnuHelpIndex", "Help Index", kNone},
                    {"mnuupdate", "update", kNone}});
}

}

void build(QMenuBar *bar)
{
    buildFile(bar);
    buildEdit(bar);
    buildView(bar);
    buildTools(bar);
    buildHelp(bar);
}

QStringList topMenuNames()
{
    return {QStringLiteral("mnufile"), QStringLiteral("mnuEdit"), QStringLiteral("mnuView"),
            QStringLiteral("mnuTools"), QStringLiteral("mnuHelp")};
}

}
