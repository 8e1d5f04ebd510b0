#pragma once
// The viewer window: shows one entry of an image list at a time, sized and
// centred to the image, and steps, zooms, rotates, fills the screen, runs a
// slide show, and works on the shown file. One instance serves the program;
// it is created and loaded on first use and unloaded when it closes.

#include "FileOpCode.h"
#include "ViewerCommand.h"

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <memory>

class ImagePrefetcher;
class ViewerImageLoader;
class ImgX;
class ImgXDialog;
class ImgXPrint;
class frmDialog;
class QAction;
class QMenu;
class QTimer;
class StatusBar;
class Toolbar;

class frmViwer : public QMainWindow {
    Q_OBJECT
public:
    // The window, created and loaded (Form_Load) on first use.
    static frmViwer *instance();
    static bool isLoaded();
    // The main window's shutdown: the closing steps, then the unload. The
    // program's end is the caller's.
    static void unloadIfLoaded();

    ImgX *imgX() const { return m_imgX; }
    // True when the viewer was opened for a file named on the command line
    // and no browser stands behind it.
    bool m_Standalone = false;

    // Shows Files[Index] (Index wrapped at both ends and written back) and
    // keeps a copy of the list.
    void ViewImage(QStringList &Files, int &Index);
    void BackToBrowser();
    void ShowNext();
    void ShowPrevious();
    void ReloadImage();
    void RemoveFromFileList(int Index);
    void LoadSettings();

    // File > Open: appends the chosen files to the list and shows the first
    // of them. False when the user cancelled.
    bool LoadImage();
    // File > Save As, in the format of the chosen filter.
    void SaveAs();
    // Ask for a key and have the image control decipher or encipher the
    // image on show. Decrypt passes over any failure; Encrypt lets the
    // control's ImgXError reach its caller.
    void Decrypt();
    void Encrypt();

    // Operations on the image in the control that no command of the viewer
    // runs; they leave the list, the title and the window's size alone.
    void ShowNextPage();
    void ShowPreviousPage();
    void ClearImage();
    // Loads one file into the control without touching the list; a file
    // that cannot be loaded leaves the control empty.
    void LoadPreviewFile(const QString &path);

    // What the window holds, for the main window and for tests.
    const QStringList &files() const { return m_Files; }
    int currentIndex() const { return m_Index; }
    int slideIndex() const { return m_SlideIndex; }
    bool isFullScreenMode() const { return m_FullScreen; }
    bool isSlideShowRunning() const;
    Toolbar *toolbar() const { return m_Toolbar; }
    StatusBar *statusPanels() const { return m_StatusBar; }
    QWidget *menuContainer() const { return m_MenuContainer; }
    QTimer *slideShowTimer() const { return m_tmrSlideShow; }
    ImgXDialog *fileDialog() const { return m_Dialog.get(); }
    ImgXPrint *printer() const { return m_MyPrinter.get(); }
    ImagePrefetcher *prefetcher() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void ImgX_KeyDown(int KeyCode, int Shift);
    void ImgX_DblClick();
    void ImgX_MouseUp(int Button, int Shift, float X, float Y);
    void ImgX_ViewChanged();
    void ImgX_OLEDragDrop(const QStringList &files, bool hasFileList);
    void Toolbar_ButtonClick(int Index, const QString &Key);
    void tmrSlideShow_Timer();

    void mnuopen_Click();
    void mnuSaveAs_Click();
    void mnuPageSetup_Click();
    void mnuTopLeft_Click();
    void mnuCentered_Click();
    void mnuFitToPage_Click();
    void mnuCopyTo_Click();
    void mnuMoveTo_Click();
    void mnuDelete_Click();
    void mnuRename_Click();
    void mnuAbout_Click();
    void mnuBrowse_Click();
    void mnuExit_Click();
    void mnuCopyImage_Click();
    void mnuFullScreen_Click();
    void mnuZoomIn_Click();
    void mnuZoomOut_Click();
    void mnuNext_Click();
    void mnuPrevious_Click();
    void mnuSlideShow_Click();
    void mnuSlideShowDelay_Click();
    void mnuAntiAliasDisplay_Click();
    void mnuRotate1_Click();
    void mnuRotate2_Click();
    void mnuSetAsWallpaper_Click();
    void mnuHelpIndex_Click();
    void mnuupdate_Click();

private:
    frmViwer();
    ~frmViwer() override;

    // Building the window.
    void createControls();
    void createToolbar();
    void connectMenus();
    void connectMenu(const char *name, void (frmViwer::*slot)());
    QAction *menuAction(const char *name) const;

    // Life of the window and its settings.
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload(int Cancel, int UnloadMode);
    void closingSteps();
    void unload();
    void ToggleAntiAlias();
    void SetSlideShowDelay();

    // Showing an entry.
    bool loadEntry(const QString &path);
    void loadPicture(const QString &path);
    void sizeToImage();
    void setWindowWidth(double twips);
    void setWindowHeight(double twips);
    void fitZoomToWindow();
    void prefetchNeighbours();
    void schedulePrefetch(const QString &shown, const QStringList &ahead);
    void startPendingPrefetch();
    void ensureFullImage();

    // Status bar, zoom and scrolling.
    void UpdateStatusBar();
    void describeUndecodedEntry(const QString &entry);
    void ZoomIn();
    void ZoomOut();
    void UpdateScrollMode();

    // Full screen.
    void ToggleFullScreen();
    void enterFullScreen();
    void leaveFullScreen();
    void setBorderStyle(int style);
    void setBarsVisible(bool visible);
    void refreshWindow();

    // Slide show.
    void ToggleSlideShow();
    void AdvanceSlideShow(bool FromTimer);
    void showSlide();

    // Input.
    void Form_KeyDown(int KeyCode, int Shift);
    void runCommand(ViewerCommand command);
    void showPopupMenu(float X, float Y);
    static bool IsFolder(const QString &Path);

    // Files.
    void FileOperation(FileOpCode code, QString &newPath);
    void DeleteCurrentFile();
    bool hasShownFile() const;
    QString destinationFor(FileOpCode code, const QString &shown) const;
    QString renameTarget(const QString &shown) const;
    void afterRename(const QString &oldPath, const QString &newPath);
    void afterRemoval(const QString &oldPath);
    QStringList chosenFiles() const;
    QString shownFolder() const;
    void writeImage(const QString &path, int formatCode);
    void loadChosenFile(const QString &path);

    // Printing and the key prompt.
    void PrintImage(int mode);
    void printCalls(int mode);
    void askKeyAndApply(const QString &caption, const QString &rowCaption, bool decrypt);

    // Small operations on the shown image.
    void RotatePlus90();
    void RotateMinus90();
    void CopyImage();
    void SetAsWallpaper();
    void startProgramFile(const QString &relativePath);

    ImgX *m_imgX = nullptr;
    Toolbar *m_Toolbar = nullptr;
    StatusBar *m_StatusBar = nullptr;
    QWidget *m_MenuContainer = nullptr;
    QTimer *m_tmrSlideShow = nullptr;
    ViewerImageLoader *m_loader = nullptr;
    QTimer *m_prefetchFallback = nullptr;
    bool m_prefetchPending = false;
    QString m_prefetchShown;
    QStringList m_prefetchAhead;
    std::unique_ptr<ImgXDialog> m_Dialog;
    std::unique_ptr<ImgXPrint> m_MyPrinter;
    std::unique_ptr<frmDialog> m_frmDlg;

    QStringList m_Files;
    int m_Index = 0;
    bool m_FullScreen = false;
    std::int16_t m_SavedLeft = 0;
    std::int16_t m_SavedTop = 0;
    std::int32_t m_SavedWidth = 0;
    std::int32_t m_SavedHeight = 0;
    int m_SlideIndex = 0;
    bool m_FromTimer = false;
    int m_ResizeLock = 0;
    bool m_closing = false;
};
