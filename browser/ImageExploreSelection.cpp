// The current item, the selection, the selection event and moving through
// the list.

#include "ImageExplore.h"

#include "ListView.h"
#include "SendInput.h"
#include "VirtualKeys.h"

#include <QCursor>
#include <QMenu>

void ImageExplore::raiseCurrentItem()
{
    const int current = lv->SelectedItem();
    if (current > 0)
        emit CurrSelectedImage(lv->Tag(current));
}

// Marks the item at a 1-based position and makes it current. A position
// past the end selects nothing, but the event still reports the item that
// is current.
void ImageExplore::SelectItem(int index, bool raise)
{
    if (index < 1)
        return;
    lv->setSelected(index, true);
    lv->setSelectedItem(index);
    if (raise)
        raiseCurrentItem();
    lv->setFocus();
}

void ImageExplore::SetAllSelected(bool state)
{
    if (lv->Count() == 0)
        return;
    lv->setAllSelected(state);
    lv->setFocus();
}

void ImageExplore::NextItem()
{
    if (lv->Count() == 0)
        return;
    lv->setFocus();
    PressKey(VirtualKeys::Right);
    // The key is still queued: this reports the item before the move; the
    // key's release reports the new one.
    raiseCurrentItem();
}

void ImageExplore::PrevItem()
{
    if (lv->Count() == 0)
        return;
    lv->setFocus();
    PressKey(VirtualKeys::Left);
    raiseCurrentItem();
}

void ImageExplore::PressKey(int vk)
{
    SendInput::PressKey(vk);
}

void ImageExplore::SetSelectedFocus(const QString &sPath)
{
    const QString wanted = sPath.toLower();
    int found = 0;
    for (int i = 1; i <= lv->Count() && !found; ++i) {
        if (lv->Tag(i).toLower() == wanted)
            found = i;
    }
    SetAllSelected(false);
    if (found)
        lv->setSelectedItem(found);
}

// Opening an item is the host's business; nothing happens here.
void ImageExplore::OpenItem(int index)
{
    Q_UNUSED(index);
}

int ImageExplore::GetSelectedIndex() const
{
    return lv->SelectedItem() - 1;
}

int ImageExplore::GetFileIndex(int itemIndex) const
{
    if (itemIndex < 0 || itemIndex >= lv->Count())
        return -1;
    return m_Files.indexOf(lv->Tag(itemIndex + 1));
}

int ImageExplore::FindItemByPath(const QString &path) const
{
    const QString wanted = path.toLower();
    for (int i = 1; i <= lv->Count(); ++i) {
        if (lv->Tag(i).toLower() == wanted)
            return i;
    }
    return -1;
}

QString ImageExplore::GetSelectedPaths() const
{
    QString paths;
    for (int i = 1; i <= lv->Count(); ++i) {
        if (lv->Selected(i))
            paths += lv->Tag(i) + QChar(0);
    }
    return paths;
}

// ---- Events of the list ----------------------------------------------------

void ImageExplore::lv_KeyDown(int keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == VirtualKeys::Delete) {
        mnuDelete_Click();
        update();
    } else if (keyCode == VirtualKeys::Return) {
        OpenItem(GetSelectedIndex());
    }
}

// Every key release but Ctrl's reports the current item. With Ctrl held
// the selection is left as it is.
void ImageExplore::lv_KeyUp(int keyCode, int shift)
{
    if (keyCode == VirtualKeys::Control)
        return;
    if (shift == 2)
        raiseCurrentItem();
    else
        SelectItem(lv->SelectedItem(), true);
    lv->setFocus();
}

void ImageExplore::lv_MouseUp(int button, int shift, float x, float y)
{
    Q_UNUSED(shift);
    if (lv->Count() == 0)
        return;
    if (button == 1)
        raiseCurrentItem();
    const int hit = lv->HitTest(QPoint(int(x), int(y)));
    if (hit > 0 && button == 2)
        mnuMenu->popup(QCursor::pos());
}

void ImageExplore::lv_DblClick()
{
    OpenItem(GetSelectedIndex());
}
