// The popup menu's operations on the selected items, and keeping the list
// in step with file operations done elsewhere.

#include "ImageExplore.h"

#include "BrowserLog.h"
#include "FileSystemObject.h"
#include "ImageList.h"
#include "ImgXDocument.h"
#include "ListView.h"
#include "PictureLoader.h"
#include "Prompts.h"
#include "ShellFileOperation.h"
#include "ThumbnailMaker.h"
#include "frmFile.h"

#include <QGuiApplication>
#include <QMenu>

void ImageExplore::buildMenu()
{
    mnuMenu->addAction(QStringLiteral("Copy Image"), this, &ImageExplore::mnuCopyImage_Click);
    mnuMenu->addSeparator();
    mnuMenu->addAction(QStringLiteral("Copy To"), this, &ImageExplore::mnuCopyTo_Click);
    mnuMenu->addAction(QStringLiteral("Move To"), this, &ImageExplore::mnuMoveTo_Click);
    mnuMenu->addAction(QStringLiteral("Delete"), this, &ImageExplore::mnuDelete_Click);
    mnuMenu->addAction(QStringLiteral("Rename"), this, &ImageExplore::mnuRename_Click);
}

// The current item's image to the clipboard. A folder, or a file that
// cannot be loaded, leaves the clipboard as it was.
void ImageExplore::mnuCopyImage_Click()
{
    const int current = lv->SelectedItem();
    if (current < 1)
        return;
    const QString path = lv->Tag(current);
    try {
        if (ThumbnailMaker::isPictureLoaded(path))
            ImgX->Loader.LoadFromPicture(PictureLoader::LoadPicture(path), QString());
        else
            ImgX->Loader.LoadFromFile(path, 0, QString());
        ImgX->Export.CopyToClipboard();
    } catch (const ImgXError &e) {
        qCWarning(lcBrowser, "Cannot copy the image of %s: %s", qUtf8Printable(path), e.what());
    }
}

void ImageExplore::mnuCopyTo_Click()
{
    DoFileOperation(1);
}

void ImageExplore::mnuMoveTo_Click()
{
    DoFileOperation(4);
}

// Shift held: delete for good; otherwise to the trash.
void ImageExplore::mnuDelete_Click()
{
    const bool shiftDown = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    DoFileOperation(shiftDown ? 3 : 2);
}

void ImageExplore::mnuRename_Click()
{
    DoFileOperation(5);
}

namespace {

unsigned shellFunction(long op)
{
    switch (op) {
    case 1: return FO_COPY;
    case 2:
    case 3: return FO_DELETE;
    case 4: return FO_MOVE;
    default: return FO_RENAME;
    }
}

}

// Runs operation `op` (1 copy to, 2 delete to the trash, 3 delete for
// good, 4 move to, 5 rename) on the selected items, or on the current item
// for a rename, and keeps the list in step afterwards.
void ImageExplore::DoFileOperation(long op)
{
    const int current = lv->SelectedItem();
    if (current < 1)
        return;
    const QString currentPath = lv->Tag(current);
    const QString selected = GetSelectedPaths();
    const QStringList sources = splitPathList(selected);

    QString dest;
    if (op == 1 || op == 4) {
        // The current item need not be selected (Ctrl + right-click): the
        // name comes from the item that goes, never from another one.
        const QString source = sources.size() == 1 ? sources.first() : currentPath;
        QString folder = frmFile::ShowFileForm(op, source);
        if (folder.isEmpty())
            return;
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        // Several items go into the chosen folder by their own names.
        dest = sources.size() > 1 ? folder : folder + FSO().GetFileName(source);
    } else if (op == 5) {
        const QString typed = Prompts::InputBox(QStringLiteral("File Name:"), QStringLiteral("Rename File"),
                                                FSO().GetFileName(currentPath));
        dest = FSO().GetParentFolderName(currentPath) + QLatin1Char('/') + typed;
        if (FSO().FolderExists(dest))
            return;   // cancelled, left empty, or the name of a folder
    }

    SHFILEOPSTRUCT record;
    record.hwnd = nullptr;
    record.wFunc = shellFunction(op);
    record.pFrom = op == 5 ? currentPath : selected;
    record.pTo = dest;
    record.fFlags = op == 2 ? unsigned(FOF_ALLOWUNDO) : 0u;
    if (op == 5 && record.pFrom == record.pTo)
        return;
    const int result = SHFileOperation(record);
    // A partly done move or delete (an item declined, or an error after
    // some items) still took the items it did away.
    if (op == 2 || op == 3 || op == 4)
        removeDoneItems(record.doneItems);
    if (op != 5 || result != 0)
        return;
    // The list may have changed while the operation's windows were open: read
    // the current item again.
    const int now = lv->SelectedItem();
    if (now >= 1 && !FSO().FileExists(lv->Tag(now))) {
        renameCurrentItem(dest);
        // The host shows the file under its new name, never the old one.
        raiseCurrentItem();
    }
}

// The items whose files went leave the list: the other ones at once,
// without moving the selection; the current one last, as RemoveListItem
// does, selecting the item before it.
void ImageExplore::removeDoneItems(const QStringList &done)
{
    const int current = lv->SelectedItem();
    bool removedOthers = false;
    for (int i = lv->Count(); i >= 1; --i) {
        if (i == current || !done.contains(lv->Tag(i)))
            continue;
        removeFileEntry(GetFileIndex(i - 1));
        removeItem(i);
        removedOthers = true;
    }
    if (current >= 1 && done.contains(lv->Tag(lv->SelectedItem())))
        RemoveListItem(GetSelectedIndex());
    else if (removedOthers)
        // The host may have been showing one of them (Ctrl + right-click
        // moves the current item without a report): it follows the list.
        raiseCurrentItem();
}

void ImageExplore::renameCurrentItem(const QString &dest)
{
    QString newPath = dest;
    while (newPath.contains(QLatin1String("//")))
        newPath.replace(QLatin1String("//"), QLatin1String("/"));
    const int current = dropReplacedItems(newPath, lv->SelectedItem());
    const int fileIndex = GetFileIndex(current - 1);
    ListItem item = lv->item(current);
    item.tag = newPath;
    item.text = FSO().GetFileName(newPath);
    lv->setItem(current, item);
    if (fileIndex >= 0)
        m_Files[fileIndex] = newPath;
}

// Drops the item at a 0-based position after its file went away, and
// selects the item before it (the first one when the listing filled one
// item or none). With the first item gone, the item that takes its place is
// selected and reported, so that the host never goes on showing the file
// that went.
void ImageExplore::RemoveListItem(int idx)
{
    const int position = idx + 1;
    if (m_Count <= 1)
        idx = 1;
    SetAllSelected(false);
    SelectItem(idx, true);
    lv->setFocus();
    if (!listingRunning())
        m_Count = lv->Count();
    removeFileEntry(GetFileIndex(position - 1));
    removeItem(position);
    if (idx < 1 && lv->Count() > 0)
        SelectItem(1, true);
}

bool ImageExplore::listingRunning() const
{
    return m_listings->running > 0 && !m_Stop;
}

// A listing that runs on fills the item after the last one it filled, so
// an item it already filled takes one off its counter.
void ImageExplore::removeItem(int position)
{
    if (lv->Remove(position) && listingRunning() && position <= m_Count)
        --m_Count;
}

void ImageExplore::removeFileEntry(int fileIndex)
{
    if (fileIndex >= 0 && fileIndex < m_Files.size())
        m_Files.removeAt(fileIndex);
}

// Drops the items other than the one at `keep` that stand for `path`: a
// rename replaced that file (the user agreed), so they show nothing real.
// Returns the position `keep` has afterwards.
int ImageExplore::dropReplacedItems(const QString &path, int keep)
{
    for (int i = lv->Count(); i >= 1; --i) {
        if (i == keep || lv->Tag(i) != path)
            continue;
        removeFileEntry(GetFileIndex(i - 1));
        removeItem(i);
        if (i < keep)
            --keep;
    }
    return keep;
}

void ImageExplore::UpdateAfterOperation(const QString &path, const QString &pathTO)
{
    int position = FindItemByPath(path);
    if (position > 0 && !pathTO.isEmpty())
        position = dropReplacedItems(pathTO, position);
    if (position > 0) {
        const int fileIndex = GetFileIndex(position - 1);
        if (!pathTO.isEmpty()) {
            if (fileIndex >= 0)
                m_Files[fileIndex] = pathTO;
            ListItem item = lv->item(position);
            item.text = FSO().GetFileName(pathTO);
            item.tag = pathTO;
            lv->setItem(position, item);
        } else {
            removeFileEntry(fileIndex);
            removeItem(position);
        }
    }
    lv->viewport()->update();
}
