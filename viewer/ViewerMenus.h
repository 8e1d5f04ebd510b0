#pragma once
// The viewer's menu bar: File, Edit, View, Tools and Help, with the
// captions as the user sees them (trailing blanks included) and their
// shortcuts. Menus are named "mnufile", "mnuEdit", "mnuView", "mnuTools",
// "mnuHelp" (submenus "mnuPrint", "mnuImage"); each item's QAction carries
// its item name ("mnuopen", "mnuSaveAs", ...) as its object name.

#include <QStringList>

class QMenuBar;

namespace ViewerMenus {
void build(QMenuBar *bar);
// The five top menus' names, left to right.
QStringList topMenuNames();
}
