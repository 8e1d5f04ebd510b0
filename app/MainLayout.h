#pragma once
// The main window's sizing rules. All sizes are in twips.

#include <QSizeF>

namespace MainLayout {

constexpr double MinimumWidth = 3700;
constexpr double MinimumHeight = 2400;

// The window's outer size with each side raised to its minimum.
QSizeF limitedOuterSize(const QSizeF &outer);
// The tree splitter for the window's outer size.
QSizeF treeSplitterSize(const QSizeF &outer);
// The preview splitter for the container's inner size and the button
// strip's height.
QSizeF previewSplitterSize(const QSizeF &containerInner, double stripHeight);

}
