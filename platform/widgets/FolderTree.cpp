#include "FolderTree.h"

#include "AppPaths.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// A node's folder: no trailing "/" except for the root; "" for the Desktop root.
constexpr int PathRole = Qt::UserRole;
constexpr int PopulatedRole = Qt::UserRole + 1;
// Home and File System, before the desktop's folders under the Desktop root.
constexpr int DesktopFixedNodes = 2;

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool isInside(const QString &folder, const QString &anchor)
{
    if (folder == anchor)
        return true;
    const QString prefix = anchor.endsWith(QLatin1Char('/')) ? anchor : anchor + QLatin1Char('/');
    return folder.startsWith(prefix);
}

QFileInfoList subFolders(const QString &folder)
{
    // Hidden folders stay out because QDir::Hidden is not asked for.
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

const QFileIconProvider &icons()
{
    static const QFileIconProvider provider;
    return provider;
}
}

FolderTree::FolderTree(QWidget *parent) : QWidget(parent), m_view(new QTreeWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setHeaderHidden(true);
    m_view->setColumnCount(1);
    m_view->setUniformRowHeights(true);
    m_view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->header()->setStretchLastSection(false);

    m_desktop = new QTreeWidgetItem(m_view, QStringList(tr("Desktop")));
    m_desktop->setIcon(0, icons().icon(QFileIconProvider::Desktop));
    m_desktop->setData(0, PathRole, QString());
    m_desktop->setData(0, PopulatedRole, true);

    const QString home = QDir::cleanPath(QDir::homePath());
    const QString desktop = QDir::cleanPath(AppPaths::desktopFolder());
    addFolderNode(m_desktop, home, tr("Home"));
    addFolderNode(m_desktop, QStringLiteral("/"), tr("File System"))
        ->setIcon(0, icons().icon(QFileIconProvider::Computer));
    // A desktop that is the home folder itself adds no folders of its own.
    if (!desktop.isEmpty() && desktop != home)
        m_desktopFolder = desktop;
    populate(m_desktop);
    m_desktop->setExpanded(true);
    m_view->setCurrentItem(m_desktop);

    connect(m_view, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        // setPath opens the nodes it has just read on its way down.
        if (!m_settingPath)
            populate(item);
    });
    connect(m_view, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { currentChanged(current); });
    connect(m_view, &QTreeWidget::itemClicked, this, [this] {
        raiseLater(&FolderTree::NodeClick);
        raiseLater(&FolderTree::Click);
    });
}

FolderTree::~FolderTree() = default;

QString FolderTree::Path() const
{
    const QTreeWidgetItem *item = m_view->currentItem();
    if (!item || item == m_desktop)
        return QString();
    const QString path = item->data(0, PathRole).toString();
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

void FolderTree::setPath(const QString &folder)
{
    QTreeWidgetItem *node = nodeFor(folder);
    if (!node)
        return;
    m_settingPath = true;
    for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
        p->setExpanded(true);
    m_view->setCurrentItem(node);
    m_view->scrollToItem(node);
    m_settingPath = false;
    emit FolderChanged();
}

void FolderTree::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_announced)
        return;
    m_announced = true;
    // Queued, so that whoever shows the tree has finished setting up before
    // the first listing is asked for.
    QMetaObject::invokeMethod(this, [this] {
        if (m_view->currentItem() == m_desktop)
            emit DesktopSelected();
    }, Qt::QueuedConnection);
}

QTreeWidgetItem *FolderTree::addFolderNode(QTreeWidgetItem *parent, const QString &path, const QString &label,
                                           int position)
{
    auto *item = new QTreeWidgetItem(QStringList(label));
    parent->insertChild(position < 0 ? parent->childCount() : position, item);
    item->setIcon(0, icons().icon(QFileIconProvider::Folder));
    item->setData(0, PathRole, path);
    item->setData(0, PopulatedRole, false);
    // Whether a folder has sub-folders is only learnt when it is opened.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

// Reads the node's folder: the first time in full, later again, so that the
// tree shows the folders as they are now. Folders that have gone lose their
// nodes; new ones get theirs in listing order; the nodes that stay keep
// their own children and state. The Desktop root reads the desktop folder,
// after its fixed Home and File System nodes.
void FolderTree::populate(QTreeWidgetItem *item)
{
    // Removing the current node moves the selection, which would read the
    // node it lands on while this one is half read.
    if (m_reading)
        return;
    const QScopedValueRollback<bool> reading(m_reading, true);
    item->setData(0, PopulatedRole, true);
    const bool desktop = item == m_desktop;
    const QString folder = desktop ? m_desktopFolder : item->data(0, PathRole).toString();
    const int first = desktop ? DesktopFixedNodes : 0;
    for (int i = item->childCount() - 1; i >= first; --i) {
        if (!QFileInfo(item->child(i)->data(0, PathRole).toString()).isDir())
            delete item->takeChild(i);
    }
    if (folder.isEmpty())
        return;
    int position = first;
    for (const QFileInfo &info : subFolders(folder)) {
        const QString path = joinPath(folder, info.fileName());
        const int found = childIndex(item, path, position);
        if (found >= 0)
            position = found + 1;
        else
            addFolderNode(item, path, info.fileName(), position++);
    }
    if (!desktop)
        item->setChildIndicatorPolicy(item->childCount() == 0 ? QTreeWidgetItem::DontShowIndicatorWhenChildless
                                                              : QTreeWidgetItem::ShowIndicator);
}

int FolderTree::childIndex(QTreeWidgetItem *parent, const QString &path, int from)
{
    for (int i = from; i < parent->childCount(); ++i) {
        if (parent->child(i)->data(0, PathRole).toString() == path)
            return i;
    }
    return -1;
}

// The node under the Desktop root whose folder holds the given one most
// closely (a desktop folder before Home, Home before the root).
QTreeWidgetItem *FolderTree::anchorFor(const QString &folder) const
{
    QTreeWidgetItem *best = nullptr;
    int bestLength = -1;
    for (int i = 0; i < m_desktop->childCount(); ++i) {
        QTreeWidgetItem *anchor = m_desktop->child(i);
        const QString path = anchor->data(0, PathRole).toString();
        if (isInside(folder, path) && path.size() > bestLength) {
            best = anchor;
            bestLength = path.size();
        }
    }
    return best;
}

// The child node of the folder at path; added when the folder was not listed
// (a hidden folder, or one made after the parent was read).
QTreeWidgetItem *FolderTree::childFor(QTreeWidgetItem *parent, const QString &path)
{
    populate(parent);
    const int found = childIndex(parent, path, 0);
    if (found >= 0)
        return parent->child(found);
    parent->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return addFolderNode(parent, path, QFileInfo(path).fileName());
}

QTreeWidgetItem *FolderTree::nodeFor(const QString &folder)
{
    if (folder.isEmpty())
        return nullptr;
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QFileInfo(clean).isDir())
        return nullptr;
    populate(m_desktop);
    QTreeWidgetItem *node = anchorFor(clean);
    if (!node)
        return nullptr;
    QString path = node->data(0, PathRole).toString();
    const QStringList rest = clean.mid(path.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &name : rest) {
        path = joinPath(path, name);
        node = childFor(node, path);
    }
    return node;
}

void FolderTree::currentChanged(QTreeWidgetItem *current)
{
    if (m_settingPath || !current)
        return;
    // A folder the user opens shows the sub-folders it has now.
    if (current->data(0, PopulatedRole).toBool())
        populate(current);
    raiseLater(current == m_desktop ? &FolderTree::DesktopSelected : &FolderTree::FolderChanged);
}

void FolderTree::raiseLater(void (FolderTree::*signal)())
{
    QMetaObject::invokeMethod(this, [this, signal] { (this->*signal)(); }, Qt::QueuedConnection);
}
