#pragma once
// The folder tree: a Desktop root node, then the file system. Used by
// the main window and by the destination-folder chooser.
//
// Under the Desktop root lie the user's home folder, the file-system root
// and the folders on the desktop. Folders are read when their node is first
// expanded, and read again whenever it is expanded or selected, or the tree
// is led through it; the Desktop root's folders alike. Hidden folders are
// not shown.

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

class FolderTree : public QWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget *parent = nullptr);
    ~FolderTree() override;

    // The selected folder's path ending with "/", or "" for a node without
    // a file-system folder (the Desktop root reports "" here and raises
    // DesktopSelected instead).
    QString Path() const;
    // Selects the folder (given without or with a trailing "/"), expanding
    // the tree down to it; raises FolderChanged. A folder that does not
    // exist leaves the selection as it was and raises nothing.
    void setPath(const QString &folder);

    // The node view itself (focus, tests).
    QTreeWidget *view() const { return m_view; }
    QTreeWidgetItem *desktopNode() const { return m_desktop; }

Q_SIGNALS:
    // The user's events are delivered from the event queue, one after the
    // other, so that a handler that lets pending events run (a folder
    // listing) is overtaken by the next event of the same action instead of
    // running to its end first. FolderChanged raised by setPath comes at once.
    void Click();                 // the user clicked a node (after the selection changed)
    void NodeClick();             // the user clicked a node
    void FolderChanged();         // the selected folder changed, by the user or the program
    void DesktopSelected();       // the Desktop root became selected; also raised once the tree is ready

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTreeWidgetItem *addFolderNode(QTreeWidgetItem *parent, const QString &path, const QString &label,
                                   int position = -1);
    void populate(QTreeWidgetItem *item);
    static int childIndex(QTreeWidgetItem *parent, const QString &path, int from);
    QTreeWidgetItem *anchorFor(const QString &folder) const;
    QTreeWidgetItem *childFor(QTreeWidgetItem *parent, const QString &path);
    QTreeWidgetItem *nodeFor(const QString &folder);
    void currentChanged(QTreeWidgetItem *current);
    void raiseLater(void (FolderTree::*signal)());

    QTreeWidget *m_view = nullptr;
    QTreeWidgetItem *m_desktop = nullptr;
    QString m_desktopFolder;   // "" when the desktop adds no folders of its own
    bool m_settingPath = false;
    bool m_reading = false;
    bool m_announced = false;
};
