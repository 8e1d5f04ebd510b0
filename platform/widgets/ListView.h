#pragma once
// A list of large icons: 1-based items with a name (Text), a path (Tag),
// the key of their picture in an ImageList (Icon) and a selected flag,
// laid out left to right in rows of equal cells. The current item is
// SelectedItem. Built on QListView with a model, so tens of thousands of
// items cost little.

#include "ListItemsModel.h"

#include <QListView>
#include <QPointer>

class ImageList;

class ListView : public QListView {
    Q_OBJECT
public:
    explicit ListView(QWidget *parent = nullptr);

    int Count() const;
    // Appends count items that all carry the same fields.
    void Add(int count, const ListItem &item = ListItem());
    // Replaces the fields of item `index`; false when there is no such item.
    bool setItem(int index, const ListItem &item);
    // A copy of item `index`'s fields; empty fields when there is none.
    ListItem item(int index) const;
    QString Text(int index) const { return item(index).text; }
    QString Tag(int index) const { return item(index).tag; }
    QString Icon(int index) const { return item(index).icon; }
    bool Remove(int index);
    void Clear();

    bool Selected(int index) const;
    bool setSelected(int index, bool selected);
    void setAllSelected(bool selected);
    // The current item's position; 0 when there is none.
    int SelectedItem() const;
    // Makes item `index` current and selected (others keep their flags).
    bool setSelectedItem(int index);
    // The item under a point of the list's viewport; 0 for empty space.
    int HitTest(const QPoint &point) const;

    ImageList *Icons() const;
    void setIcons(ImageList *icons);
    // The picture cell of the bound ImageList (150 x 125 until one is bound).
    QSize cellSize() const;

    // True: the selection is drawn only while the list has the focus.
    bool hideSelection() const { return m_hideSelection; }
    void setHideSelection(bool hide);

Q_SIGNALS:
    // Key codes are virtual-key codes; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    // button: 1 left, 2 right, 4 middle; x, y in viewport pixels.
    void MouseUp(int button, int shift, float x, float y);
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void updateGrid();
    QModelIndex indexAtPosition(int index) const;

    ListItemsModel *m_model;
    QPointer<ImageList> m_icons;
    bool m_hideSelection = true;
};
