#include "ListView.h"

#include "ImageList.h"
#include "ListItemDelegate.h"
#include "VirtualKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {
const QSize DefaultCell(150, 125);

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}
}

ListView::ListView(QWidget *parent) : QListView(parent), m_model(new ListItemsModel(this))
{
    setModel(m_model);
    setItemDelegate(new ListItemDelegate(this));
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    updateGrid();
}

int ListView::Count() const
{
    return m_model->rowCount();
}

void ListView::Add(int count, const ListItem &item)
{
    m_model->append(count, item);
}

bool ListView::setItem(int index, const ListItem &item)
{
    return m_model->replace(index - 1, item);
}

ListItem ListView::item(int index) const
{
    const ListItem *it = m_model->item(index - 1);
    return it ? *it : ListItem();
}

bool ListView::Remove(int index)
{
    return m_model->removeAt(index - 1);
}

void ListView::Clear()
{
    m_model->clear();
}

bool ListView::Selected(int index) const
{
    const QModelIndex i = indexAtPosition(index);
    return i.isValid() && selectionModel()->isSelected(i);
}

bool ListView::setSelected(int index, bool selected)
{
    const QModelIndex i = indexAtPosition(index);
    if (!i.isValid())
        return false;
    selectionModel()->select(i, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    return true;
}

void ListView::setAllSelected(bool selected)
{
    if (Count() == 0)
        return;
    const QItemSelection all(m_model->index(0), m_model->index(Count() - 1));
    selectionModel()->select(all, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int ListView::SelectedItem() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

bool ListView::setSelectedItem(int index)
{
    const QModelIndex i = indexAtPosition(index);
    if (!i.isValid())
        return false;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select);
    return true;
}

int ListView::HitTest(const QPoint &point) const
{
    const QModelIndex i = indexAt(point);
    return i.isValid() ? i.row() + 1 : 0;
}

ImageList *ListView::Icons() const
{
    return m_icons;
}

void ListView::setIcons(ImageList *icons)
{
    if (m_icons)
        disconnect(m_icons, nullptr, this, nullptr);
    m_icons = icons;
    if (m_icons)
        connect(m_icons, &ImageList::changed, viewport(), qOverload<>(&QWidget::update));
    updateGrid();
    viewport()->update();
}

QSize ListView::cellSize() const
{
    return m_icons && !m_icons->ImageSize().isEmpty() ? m_icons->ImageSize() : DefaultCell;
}

void ListView::setHideSelection(bool hide)
{
    m_hideSelection = hide;
    viewport()->update();
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(VirtualKeys::fromEvent(event), VirtualKeys::shiftState(event->modifiers()));
    QListView::keyPressEvent(event);
}

void ListView::keyReleaseEvent(QKeyEvent *event)
{
    QListView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit KeyUp(VirtualKeys::fromEvent(event), VirtualKeys::shiftState(event->modifiers()));
}

void ListView::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    emit MouseUp(buttonCode(event->button()), VirtualKeys::shiftState(event->modifiers()),
                 float(event->position().x()), float(event->position().y()));
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    emit DblClick();
}

// The selection is hidden while the list has no focus, so its look
// changes with the focus.
void ListView::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    viewport()->update();
}

void ListView::focusOutEvent(QFocusEvent *event)
{
    QListView::focusOutEvent(event);
    viewport()->update();
}

// The cells hold two lines of the list's font.
void ListView::changeEvent(QEvent *event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateGrid();
}

// Left and Right step through the items in list order, also from the end
// of one row to the next; the other keys keep the list's own rule.
QModelIndex ListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action != MoveLeft && action != MoveRight)
        return QListView::moveCursor(action, modifiers);
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return Count() > 0 ? m_model->index(0) : QModelIndex();
    const int row = current.row() + (action == MoveRight ? 1 : -1);
    return row >= 0 && row < Count() ? m_model->index(row) : current;
}

void ListView::updateGrid()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    setGridSize(itemDelegate()->sizeHint(option, QModelIndex()) + QSize(6, 6));
}

QModelIndex ListView::indexAtPosition(int index) const
{
    return index >= 1 && index <= Count() ? m_model->index(index - 1) : QModelIndex();
}
