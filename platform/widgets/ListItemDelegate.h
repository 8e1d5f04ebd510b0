#pragma once
// Draws a ListView item as a large icon: its picture fitted into the
// picture store's cell, its name below in up to two wrapped lines.

#include <QStyledItemDelegate>

class ListView;

class ListItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ListItemDelegate(ListView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static constexpr int TextLines = 2;
    static constexpr int Margin = 4;

private:
    void paintName(QPainter *painter, const QRect &rect, const QString &text, bool highlighted,
                   const QStyleOptionViewItem &option) const;

    ListView *m_view;
};
