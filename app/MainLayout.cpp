#include "MainLayout.h"

#include <QtGlobal>

namespace MainLayout {

QSizeF limitedOuterSize(const QSizeF &outer)
{
    return QSizeF(qMax(outer.width(), MinimumWidth), qMax(outer.height(), MinimumHeight));
}

QSizeF treeSplitterSize(const QSizeF &outer)
{
    return QSizeF(outer.width() - 300, outer.height() - 1000);
}

QSizeF previewSplitterSize(const QSizeF &containerInner, double stripHeight)
{
    return QSizeF(containerInner.width() - 20, containerInner.height() - stripHeight - 80);
}

}
