#pragma once
// The items of a ListView: a name, a path (the tag) and the key of the
// item's picture in the view's ImageList. Rows are 0-based here; the
// ListView speaks 1-based positions.

#include <QAbstractListModel>
#include <QVector>

struct ListItem {
    QString text;
    QString tag;
    QString icon;
};

class ListItemsModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { TagRole = Qt::UserRole + 1, IconKeyRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    const ListItem *item(int row) const;
    void append(int count, const ListItem &item);
    bool replace(int row, const ListItem &item);
    bool removeAt(int row);
    void clear();

private:
    QVector<ListItem> m_items;
};
