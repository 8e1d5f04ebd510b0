#include "ListItemsModel.h"

#include <QMimeData>
#include <QUrl>

int ListItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_items.size();
}

QVariant ListItemsModel::data(const QModelIndex &index, int role) const
{
    const ListItem *it = item(index.row());
    if (!it || index.column() != 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return it->text;
    case Qt::ToolTipRole:
    case TagRole:
        return it->tag;
    case IconKeyRole:
        return it->icon;
    default:
        return QVariant();
    }
}

Qt::ItemFlags ListItemsModel::flags(const QModelIndex &index) const
{
    const ListItem *it = item(index.row());
    if (!it)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!it->tag.isEmpty())
        f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList ListItemsModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

// Dragged items leave the list as the files they stand for.
QMimeData *ListItemsModel::mimeData(const QModelIndexList &indexes) const
{
    QList<QUrl> urls;
    for (const QModelIndex &index : indexes) {
        const ListItem *it = item(index.row());
        if (it && !it->tag.isEmpty())
            urls << QUrl::fromLocalFile(it->tag);
    }
    if (urls.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions ListItemsModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

const ListItem *ListItemsModel::item(int row) const
{
    return row >= 0 && row < m_items.size() ? &m_items[row] : nullptr;
}

void ListItemsModel::append(int count, const ListItem &item)
{
    if (count <= 0)
        return;
    beginInsertRows(QModelIndex(), m_items.size(), m_items.size() + count - 1);
    m_items.insert(m_items.size(), count, item);
    endInsertRows();
}

bool ListItemsModel::replace(int row, const ListItem &item)
{
    if (row < 0 || row >= m_items.size())
        return false;
    m_items[row] = item;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
    return true;
}

bool ListItemsModel::removeAt(int row)
{
    if (row < 0 || row >= m_items.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_items.remove(row);
    endRemoveRows();
    return true;
}

void ListItemsModel::clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}
