#pragma once
// The thumbnail browser: lists one folder as large icons, its sub-folders
// first, then its image files of the supported types with a thumbnail
// each; reports the item the user is on through CurrSelectedImage; offers
// copy, move, delete, rename and copy-image on the selected items.
//
// A listing runs inside ExplorePath and lets pending events run
// after items 1, 21, 41 and so on, so the window stays usable. A listing
// started meanwhile (from a handler that runs then) wins: the older one
// makes no further change once control comes back to it.

#include "ThumbnailPrefetcher.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class ImageList;
class ImgXDocument;
class ListView;
class QLabel;
class QMenu;

class ImageExplore : public QWidget {
    Q_OBJECT
public:
    explicit ImageExplore(QWidget *parent = nullptr);
    ~ImageExplore() override;

    // The extensions to list, separated by blanks ("JPG GIF BMP ...").
    void SetExt(const QString &s);
    // Lists the folder (with or without a trailing "/"), stopping a
    // listing that still runs.
    void ExplorePath(const QString &path);
    // The full paths of the folder's supported image files that match the
    // pattern, in the file system's order; empty when there are none.
    QStringList GetImageList(const QString &path, const QString &SearchStr);
    // Ends a running listing where it is, as when the program ends: the
    // listing makes no further change once control comes back to it.
    void StopListing();
    // Fills the next item of the running listing: its name, path and
    // picture (a thumbnail for a file).
    void AddImage(const QString &path, bool isFolder);
    // Move the current item one place, as the Right and Left arrow keys do.
    void NextItem();
    void PrevItem();
    // Makes the item of the path (letter case ignored) the only selected
    // and current item, without an event.
    void SetSelectedFocus(const QString &sPath);
    // Follows a rename (pathTO: the new path) or a removal (pathTO empty)
    // of a file done elsewhere.
    void UpdateAfterOperation(const QString &path, const QString &pathTO = QString());

    // Positions and lookups (0-based positions where noted; -1 for none).
    int GetSelectedIndex() const;                 // the current item, 0-based
    int GetFileIndex(int itemIndex) const;        // item (0-based) -> its entry in files()
    int FindItemByPath(const QString &path) const; // 1-based, letter case ignored
    QString GetSelectedPaths() const;             // each selected path followed by a NUL

    // What the control holds, for its host and its tests.
    ListView *listView() const { return lv; }
    ImageList *imageList() const { return iList; }
    QLabel *emptyNotice() const { return Text1; }
    QMenu *popupMenu() const { return mnuMenu; }
    QString extensions() const { return m_Ext; }
    int fillCount() const { return m_Count; }
    QStringList files() const { return m_Files; }
    bool stopped() const { return m_Stop; }

Q_SIGNALS:
    // The path of the item that became current; "" when a listing starts.
    void CurrSelectedImage(const QString &path);
    // Declared for the host; the control never raises it.
    void ItemOpen(QStringList &Files, int &Index, QString &Folder);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Shared with the listings in progress, so that after letting messages
    // run a listing can tell whether a newer one started or the control
    // itself went away meanwhile.
    struct ListingState {
        bool alive = true;
        quint64 started = 0;   // counts started listings
        int running = 0;
    };
    struct Listing {
        quint64 id;
        std::shared_ptr<ListingState> state;
        bool superseded() const { return !state->alive || state->started != id; }
    };
    Listing latestListing() const { return Listing{m_listings->started, m_listings}; }

    // Listing
    void runListing(const QString &path, const Listing &listing);
    void ListFolder(const QString &path, const QString &pattern, const Listing &listing);
    void LoadFolderItems(const QString &path, const QString &pattern, const Listing &listing);
    bool IsSupportedFile(const QString &path) const;
    void trimFiles();
    bool storeThumbnail(const QString &path, QString &error);
    void thumbnailFailed(const QString &error);

    // Selection
    void SelectItem(int index, bool raise);
    void SetAllSelected(bool state);
    void PressKey(int vk);
    void OpenItem(int index);
    void raiseCurrentItem();
    void lv_KeyDown(int keyCode, int shift);
    void lv_KeyUp(int keyCode, int shift);
    void lv_MouseUp(int button, int shift, float x, float y);
    void lv_DblClick();

    // File operations on the selection
    void buildMenu();
    void mnuCopyImage_Click();
    void mnuCopyTo_Click();
    void mnuMoveTo_Click();
    void mnuDelete_Click();
    void mnuRename_Click();
    void DoFileOperation(long op);
    void RemoveListItem(int idx);
    void removeDoneItems(const QStringList &done);
    void renameCurrentItem(const QString &dest);
    int dropReplacedItems(const QString &path, int keep);
    void removeFileEntry(int fileIndex);
    void removeItem(int position);
    bool listingRunning() const;

    ListView *lv;
    ImageList *iList;
    QLabel *Text1;
    QMenu *mnuMenu;
    std::unique_ptr<ImgXDocument> ImgX;   // never shown: copies images to the clipboard

    QString m_Ext;                   // lower-case extension list
    int m_Count = 0;                 // items filled by the current or last listing
    QStringList m_Files;             // listed image files, in list order
    bool m_Stop = false;             // true ends the running listing
    qreal m_pixelRatio = 1;          // the screen's, when the listing began: its pictures are made for it
    std::shared_ptr<ListingState> m_listings = std::make_shared<ListingState>();
    ThumbnailPrefetcher m_prefetch;
};
