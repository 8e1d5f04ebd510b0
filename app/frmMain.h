#pragma once
// The main window: the folder tree, the thumbnail browser, the preview with
// its buttons, and the program's start-up and shutdown.

#include "PreviewPane.h"
#include "SingleInstance.h"
#include "SkinEngine.h"
#include "Splash.h"
#include "ViewerHost.h"

#include <QStringList>
#include <QWidget>

class FolderTree;
class GenericContainer;
class ImageExplore;
class ImgX;
class QFrame;
class QSplitter;
class QToolButton;

class frmMain : public QWidget, public ViewerHost {
    Q_OBJECT
public:
    // The browser's extension list.
    static inline const QString BrowserExtList =
        QStringLiteral("JPG GIF BMP PNG PSD TIF PCX TGA WBMP PCD WMF EMF ICO DIB");
    static inline const QString AppTitle = QStringLiteral("Quillmere");

    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False when the program ends here (another
    // instance runs, or an association switch was given); the window is
    // then not to be shown.
    bool Form_Load(const QStringList &arguments);
    // The program's command line as it was given, joined by blanks.
    QString commandLine() const { return m_CommandLine; }
    // True once the program was told to end.
    bool hasEnded() const { return m_ended; }
    // Whether the start-up's association check (or undo) did all it set out to.
    bool associationDone() const { return m_associationDone; }
    // True once the user clicked a folder in the tree.
    bool treeClicked() const { return m_bTreeClicked; }

    // What the viewer calls.
    void ShowMainWindow() override;
    void CheckPath(const QString &s) override;
    void RefreshImages(const QString &OldPath, const QString &NewPath) override;
    void EndProgram() override;

    // Closes the viewer and the folder chooser and ends the program.
    void EndMe();
    // The first top-level window whose title (its first 255 characters)
    // contains text; nullptr when none does.
    static QWidget *FindWin(const QString &text);

    // The controls, as the window is designed.
    FolderTree *TV1 = nullptr;
    QSplitter *Splitter2 = nullptr;
    GenericContainer *container = nullptr;
    QFrame *Toolbar = nullptr;
    QToolButton *cmdPrev = nullptr;
    QToolButton *cmdNext = nullptr;
    QToolButton *cmdZoomIn = nullptr;
    QToolButton *cmdZoomOut = nullptr;
    QToolButton *cmdWallPaper = nullptr;
    QToolButton *cmdView = nullptr;
    QSplitter *Splitter1 = nullptr;
    ImgX *imgPreview = nullptr;
    ImageExplore *ImageExplore1 = nullptr;
    PreviewPane &preview() { return m_preview; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    QToolButton *addButton(const QString &caption, const QIcon &icon, int left);
    void placeControls();
    void connectEvents();
    void applySkin();
    void OpenCommandLineFile();
    void keepWithinScreen();
    void OpenInViewer(QStringList &files, int &index, bool standalone);

    // Event handlers.
    void Form_Resize();
    void container_Resize(double W, double H);
    void Form_Unload();
    void TV1_Click();
    void TV1_NodeClick();
    void TV1_FolderChanged();
    void TV1_DesktopSelected();
    void ImageExplore1_CurrSelectedImage(const QString &path);
    void ImageExplore1_ItemOpen(QStringList &Files, int &Index, QString &Folder);
    void ImgX_DblClick();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdWallPaper_Click();
    void endProgram();

    SkinEngine Skin1;
    Splash Splash1;
    SingleInstance m_instance;
    PreviewPane m_preview;
    QString m_CommandLine;
    bool m_bTreeClicked = false;
    bool m_settingTreePath = false;   // CheckPath moves the tree itself
    bool m_unloading = false;
    bool m_ended = false;
    bool m_associationDone = false;
};
