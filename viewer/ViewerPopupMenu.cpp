#include "ViewerPopupMenu.h"

#include <QMenu>
#include <cmath>

namespace ViewerPopupMenu {

namespace {
struct Entry {
    int id;                  // 0: a separator
    const char *caption;
    ViewerCommand command;
};

const Entry kEntries[] = {
    {10, "Full Screen", ViewerCommand::FullScreen},
    {7, "Next", ViewerCommand::Next},
    {8, "Previous", ViewerCommand::Previous},
    {0, nullptr, ViewerCommand::None},
    {9, "Slide Show", ViewerCommand::SlideShow},
    {1, "Antialias Display", ViewerCommand::AntiAlias},
    {0, nullptr, ViewerCommand::None},
    {2, "Rotate +90", ViewerCommand::RotatePlus90},
    {3, "Rotate -90", ViewerCommand::RotateMinus90},
    {0, nullptr, ViewerCommand::None},
    {4, "Zoom In", ViewerCommand::ZoomIn},
    {5, "Zoom Out", ViewerCommand::ZoomOut},
    {0, nullptr, ViewerCommand::None},
    {6, "Set As Wallpaper", ViewerCommand::SetAsWallpaper},
};
constexpr int kSlideShowId = 9;
constexpr int kAntiAliasId = 1;
}

QMenu *build(bool slideShowRunning, bool antiAliasChecked, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    for (const Entry &entry : kEntries) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromLatin1(entry.caption));
        action->setData(entry.id);
        const bool checked = (entry.id == kSlideShowId && slideShowRunning)
            || (entry.id == kAntiAliasId && antiAliasChecked);
        if (checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    return menu;
}

QPoint position(double windowLeft, double windowTop, double tppx, double tppy, float x, float y)
{
    return QPoint(int(std::lround(windowLeft / tppx + x)), int(std::lround(windowTop / tppy + y)));
}

ViewerCommand command(int id)
{
    for (const Entry &entry : kEntries) {
        if (entry.id != 0 && entry.id == id)
            return entry.command;
    }
    return ViewerCommand::None;
}

}
