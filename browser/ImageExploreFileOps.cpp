// The popup menu's operations on the selected items, and keeping the list
// in step with file operations done elsewhere.

#include "ImageExplore.h"

#include "FileSystemObject.h"
#include "ImageList.h"
#include "ImgXDocument.h"
#include "ListView.h"
#include "PictureLoader.h"
#include "ThumbnailMaker.h"

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
    } catch (const ImgXError &) {
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

void ImageExplore::DoFileOperation(long op)
{
    Q_UNUSED(op);
}

// Drops the item at a 0-based position after its file went away, and
// selects the item before it (the first one when the listing filled one
// item or none).
void ImageExplore::RemoveListItem(int idx)
{
    const int position = idx + 1;
    if (m_Count <= 1)
        idx = 1;
    SetAllSelected(false);
    SelectItem(idx, true);
    lv->setFocus();
    m_Count = lv->Count();
    removeFileEntry(GetFileIndex(position - 1));
    lv->Remove(position);
}

void ImageExplore::removeFileEntry(int fileIndex)
{
    if (fileIndex >= 0 && fileIndex < m_Files.size())
        m_Files.removeAt(fileIndex);
}

void ImageExplore::UpdateAfterOperation(const QString &path, const QString &pathTO)
{
    const int position = FindItemByPath(path);
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
            lv->Remove(position);
        }
    }
    lv->viewport()->update();
}
