#include "frmMain.h"

#include "AppLog.h"
#include "AppPaths.h"
#include "AssociationPolicy.h"
#include "ButtonIcons.h"
#include "CommandLine.h"
#include "FileSystemObject.h"
#include "FolderTree.h"
#include "GenericContainer.h"
#include "ImageExplore.h"
#include "ImgX.h"
#include "MainLayout.h"
#include "MessagePump.h"
#include "ModAssoc.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "StartupStore.h"
#include "WindowFrame.h"
#include "frmFile.h"
#include "frmViwer.h"
#include "modMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSplitter>
#include <QThread>
#include <QToolButton>
#include <cstdio>
#include <exception>

using FormGeometry::toPixelsX;
using FormGeometry::toPixelsY;

namespace {
// Design geometry in twips.
QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
}
}

frmMain::frmMain(QWidget *parent)
    : QWidget(parent), imgPreview(new ImgX(this)), m_preview(imgPreview)
{
    setWindowTitle(AppTitle);
    // The skin's form rule finds the window by this name.
    setObjectName(QStringLiteral("frmMain"));
    // Every other window skins itself through this engine, so it is the
    // program's engine from the moment the main window exists.
    SkinEngine::setMain(&Skin1);
    ViewerHost::setInstance(this);
    createControls();
    placeControls();
    connectEvents();
}

frmMain::~frmMain()
{
    if (ViewerHost::instance() == this)
        ViewerHost::setInstance(nullptr);
    if (&SkinEngine::main() == &Skin1)
        SkinEngine::setMain(nullptr);
}

void frmMain::createControls()
{
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    TV1 = new FolderTree(Splitter2);
    container = new GenericContainer(Splitter2);
    Toolbar = new QFrame(container);
    cmdPrev = addButton(tr("Previous"), ButtonIcons::previous(), 15);
    cmdNext = addButton(tr("Next"), ButtonIcons::next(), 480);
    cmdZoomIn = addButton(tr("Zoom In"), ButtonIcons::zoomIn(), 960);
    cmdZoomOut = addButton(tr("Zoom Out"), ButtonIcons::zoomOut(), 1440);
    cmdWallPaper = addButton(tr("Set as wallpaper"), ButtonIcons::wallpaper(), 1920);
    cmdView = addButton(tr("View Image"), ButtonIcons::view(), 2400);
    Splitter1 = new QSplitter(Qt::Vertical, container);
    imgPreview->setParent(Splitter1);
    Splitter1->addWidget(imgPreview);
    ImageExplore1 = new ImageExplore(Splitter1);
    Splitter1->addWidget(ImageExplore1);

    imgPreview->setBackColor(Qt::white);
    imgPreview->setAntiAliasDisplay(true);
    imgPreview->setScrollMode(0);

    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    TV1->setObjectName(QStringLiteral("TV1"));
    container->setObjectName(QStringLiteral("container"));
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    imgPreview->setObjectName(QStringLiteral("ImgX"));
    ImageExplore1->setObjectName(QStringLiteral("ImageExplore1"));
}

QToolButton *frmMain::addButton(const QString &caption, const QIcon &icon, int left)
{
    auto *button = new QToolButton(Toolbar);
    button->setText(caption);
    button->setToolTip(caption);
    button->setIcon(icon);
    // The buttons are small squares: the picture shows, the caption is the tip.
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setGeometry(twipsRect(left, 45, 450, 450));
    button->setIconSize(button->size() * 3 / 4);
    return button;
}

void frmMain::placeControls()
{
    resize(toPixelsX(9510), toPixelsY(8085));
    Splitter2->setGeometry(twipsRect(60, 90, 9465, 7575));
    Splitter2->setChildrenCollapsible(false);
    Splitter2->setSizes({toPixelsX(3030), toPixelsX(6285)});
    Splitter2->setStretchFactor(1, 1);
    Toolbar->setGeometry(twipsRect(90, 45, 5670, 525));
    Splitter1->setGeometry(twipsRect(75, 630, 5685, 6705));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setHandleWidth(toPixelsY(90));
    Splitter1->setSizes({toPixelsY(3135), toPixelsY(3480)});
}

void frmMain::connectEvents()
{
    connect(container, &GenericContainer::Resize, this, &frmMain::container_Resize);
    connect(TV1, &FolderTree::Click, this, &frmMain::TV1_Click);
    connect(TV1, &FolderTree::NodeClick, this, &frmMain::TV1_NodeClick);
    connect(TV1, &FolderTree::FolderChanged, this, &frmMain::TV1_FolderChanged);
    connect(TV1, &FolderTree::DesktopSelected, this, &frmMain::TV1_DesktopSelected);
    connect(ImageExplore1, &ImageExplore::CurrSelectedImage, this, &frmMain::ImageExplore1_CurrSelectedImage);
    connect(ImageExplore1, &ImageExplore::ItemOpen, this, &frmMain::ImageExplore1_ItemOpen);
    connect(imgPreview, &ImgX::DblClick, this, &frmMain::ImgX_DblClick);
    connect(cmdPrev, &QToolButton::clicked, this, &frmMain::cmdPrev_Click);
    connect(cmdNext, &QToolButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdZoomIn, &QToolButton::clicked, this, [this] { m_preview.ZoomIn(); });
    connect(cmdZoomOut, &QToolButton::clicked, this, [this] { m_preview.ZoomOut(); });
    connect(cmdWallPaper, &QToolButton::clicked, this, &frmMain::cmdWallPaper_Click);
    connect(cmdView, &QToolButton::clicked, this, &frmMain::ImgX_DblClick);
}

// ---------------------------------------------------------------- start-up

bool frmMain::Form_Load(const QStringList &arguments)
{
    if (m_instance.anotherInstanceRuns()) {
        m_ended = true;
        return false;
    }
    const QString splash = AppPaths::programFolder() + QStringLiteral("/viewer.spl");
    if (!Splash1.LoadSplash(splash))
        qCWarning(lcApp, "Cannot read the splash picture %s", qUtf8Printable(splash));
    Splash1.Show(0);
    // Only the message boxes take the title: as the application's display
    // name Qt would append it to every window title, the viewer's included.
    Prompts::setAppTitle(AppTitle);
    applySkin();
    ImageExplore1->SetExt(BrowserExtList);

    m_CommandLine = CommandLine::join(arguments);
    const CommandLine::Switch given = CommandLine::switchOf(m_CommandLine);
    if (!StartupStore::open(given == CommandLine::Switch::None)) {
        Form_Unload();
        return false;
    }
    if (given == CommandLine::Switch::DeAssociate)
        m_associationDone = AssociationPolicy::DeAssociateAll();
    else
        m_associationDone = AssociationPolicy::AssociateAll();
    if (given != CommandLine::Switch::None) {
        Form_Unload();
        return false;
    }
    OpenCommandLineFile();
    keepWithinScreen();
    return !m_ended;
}

// The designed size, in twips, outgrows a small screen at a large scale
// factor; the window, frame included, keeps to the area the desktop leaves.
void frmMain::keepWithinScreen()
{
    const QSize room = screen()->availableGeometry().size().shrunkBy(WindowFrame::margins(this));
    resize(size().boundedTo(room));
}

void frmMain::applySkin()
{
    const QString skin = AppPaths::programFolder() + QStringLiteral("/QMRMain.skn");
    if (!Skin1.LoadSkin(skin))
        qCWarning(lcApp, "Cannot read the skin file %s", qUtf8Printable(skin));
    Skin1.ApplySkinByName(Toolbar, QStringLiteral("Toolbar"));
    Skin1.ApplySkin(this);
    Skin1.ApplySkinByName(Toolbar, QStringLiteral("Toolbar"));
    Skin1.ApplySkinByName(TV1, QStringLiteral("Splitter"));
    Skin1.ApplySkinByName(Splitter2, QStringLiteral("Splitter"));
    Skin1.ApplySkinByName(Splitter1, QStringLiteral("Splitter"));
    Skin1.ApplySkinByName(container, QStringLiteral("Splitter"));
}

// A file named on the command line opens in the viewer at once, with the
// images of its folder to step through. A folder without any image to show
// starts the program as if no path was given.
void frmMain::OpenCommandLineFile()
{
    const QString why = CommandLine::whyUnreadable(m_CommandLine);
    if (!why.isEmpty()) {
        // On standard error too, for a start from a shell or a script.
        std::fprintf(stderr, "qmr: %s\n", qPrintable(why));
        Prompts::MsgBox(why, Prompts::OKOnly | Prompts::Exclamation);
        return;
    }
    if (!ModAssoc::PathExists(m_CommandLine))
        return;
    // A relative path must not be taken from the root folder, and "dir//a.jpg"
    // must find its entry in the list.
    const QString path = CommandLine::absolutePath(m_CommandLine);
    QStringList files = ImageExplore1->GetImageList(FSO().GetParentFolderName(path), QStringLiteral("*.*"));
    if (files.isEmpty())
        return;
    int index = CommandLine::IndexOf(files, path);
    OpenInViewer(files, index, true);
    MessagePump::DoEvents(9);
}

void frmMain::OpenInViewer(QStringList &files, int &index, bool standalone)
{
    try {
        frmViwer *viewer = frmViwer::instance();
        viewer->imgX()->setZoom(1.0);
        viewer->m_Standalone = standalone;
        viewer->ViewImage(files, index);
    } catch (const std::exception &e) {
        // The viewer could not show the file; the caller sees it hidden.
        qCWarning(lcApp, "The viewer cannot show %s: %s", qUtf8Printable(files.value(index)), e.what());
    }
}

// ---------------------------------------------------------------- layout

void frmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    const QSizeF outer(FormGeometry::width(this), FormGeometry::height(this));
    const QSizeF limited = MainLayout::limitedOuterSize(outer);
    if (limited.width() != outer.width())
        FormGeometry::setWidth(this, limited.width());
    if (limited.height() != outer.height())
        FormGeometry::setHeight(this, limited.height());
    const QSizeF tree = MainLayout::treeSplitterSize(QSizeF(FormGeometry::width(this), FormGeometry::height(this)));
    FormGeometry::setControlWidth(Splitter2, tree.width());
    FormGeometry::setControlHeight(Splitter2, tree.height());
}

void frmMain::container_Resize(double W, double H)
{
    const QSizeF size = MainLayout::previewSplitterSize(QSizeF(W, H), FormGeometry::controlHeight(Toolbar));
    FormGeometry::setControlWidth(Splitter1, size.width());
    FormGeometry::setControlHeight(Splitter1, size.height());
    // The preview fills the width of the upper pane, so the strip follows
    // the splitter's width (the preview itself is laid out only when shown).
    Toolbar->resize(Splitter1->width(), Toolbar->height());
}

// ---------------------------------------------------------------- shutdown

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    m_unloading = true;
    frmViwer::unloadIfLoaded();
    frmFile::Unload();
    endProgram();
}

void frmMain::EndMe()
{
    Form_Unload();
}

void frmMain::EndProgram()
{
    frmFile::Unload();
    endProgram();
}

void frmMain::endProgram()
{
    m_ended = true;
    m_unloading = true;
    // A listing paused below this call would otherwise read the rest of
    // its folder behind the closed window before the program can end.
    ImageExplore1->StopListing();
    hide();
    // Before the event loop runs, main() sees hasEnded() instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

QWidget *frmMain::FindWin(const QString &text)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->windowTitle().left(255).contains(text))
            return window;
    }
    return nullptr;
}

// ---------------------------------------------------------------- viewer

void frmMain::ShowMainWindow()
{
    // While the program shuts down the viewer's closing steps must not bring
    // the main window back.
    if (m_unloading)
        return;
    show();
    raise();
    activateWindow();
}

void frmMain::CheckPath(const QString &s)
{
    const QString parent = FSO().GetParentFolderName(s);
    if (parent.isEmpty())
        return;
    if (parent + QLatin1Char('/') == TV1->Path())
        return;
    {
        // The tree reports the folder it is given as a change; the listing
        // below is the one this path costs.
        const QScopedValueRollback<bool> settingPath(m_settingTreePath, true);
        TV1->setPath(parent);
    }
    ImageExplore1->ExplorePath(TV1->Path());
    ImageExplore1->SetSelectedFocus(s);
    // The listing previewed its first item; the view button must open the
    // file the browser now selects.
    if (ImageExplore1->FindItemByPath(s) > 0)
        m_preview.Show(s);
}

void frmMain::RefreshImages(const QString &OldPath, const QString &NewPath)
{
    ImageExplore1->UpdateAfterOperation(OldPath, NewPath);
    // The preview must not go on offering the file under a name it has lost.
    if (m_preview.ShownFile() != OldPath)
        return;
    if (NewPath.isEmpty())
        m_preview.Clear();
    else
        m_preview.Show(NewPath);
}

// ---------------------------------------------------------------- tree and browser

void frmMain::TV1_Click()
{
    const QString path = TV1->Path();
    if (path.isEmpty())
        return;
    ImageExplore1->ExplorePath(path);
    m_bTreeClicked = true;
}

void frmMain::TV1_NodeClick()
{
    const QString path = TV1->Path();
    if (!path.isEmpty())
        ImageExplore1->ExplorePath(path);
}

void frmMain::TV1_FolderChanged()
{
    if (!m_bTreeClicked || m_settingTreePath)
        return;
    const QString path = TV1->Path();
    if (!path.isEmpty())
        ImageExplore1->ExplorePath(path);
}

void frmMain::TV1_DesktopSelected()
{
    ImageExplore1->ExplorePath(modMain::GetSpecialFolder(0));
}

void frmMain::ImageExplore1_CurrSelectedImage(const QString &path)
{
    m_preview.Show(path);
}

void frmMain::ImageExplore1_ItemOpen(QStringList &Files, int &Index, QString &Folder)
{
    if (!Folder.isEmpty()) {
        TV1->setPath(Folder);
        ImageExplore1->ExplorePath(TV1->Path());
    } else if (Index >= 0 && Index < Files.size() && !Files.at(Index).isEmpty()) {
        hide();
        OpenInViewer(Files, Index, false);
        if (!frmViwer::isLoaded() || !frmViwer::instance()->isVisible())
            ShowMainWindow();
    } else {
        m_preview.Clear();
    }
}

// ---------------------------------------------------------------- preview

// Opens the previewed file alone in the viewer. Should the viewer not come
// on screen, the main window comes back so the user is never left without
// a window.
void frmMain::ImgX_DblClick()
{
    const QString path = m_preview.ShownFile();
    if (path.isEmpty())
        return;
    hide();
    QStringList files{path};
    int index = 0;
    OpenInViewer(files, index, false);
    if (!frmViwer::isLoaded() || !frmViwer::instance()->isVisible())
        ShowMainWindow();
}

void frmMain::cmdPrev_Click()
{
    ImageExplore1->PrevItem();
}

void frmMain::cmdNext_Click()
{
    ImageExplore1->NextItem();
}

void frmMain::cmdWallPaper_Click()
{
    modMain::SetAsWallpaper(imgPreview);
}
