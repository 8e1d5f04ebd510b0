#include "frmViwer.h"

#include "AppPaths.h"
#include "FileAttributes.h"
#include "FileSystemObject.h"
#include "ImageListRules.h"
#include "ImgX.h"
#include "ImgXDialog.h"
#include "ImgXPrint.h"
#include "MessagePump.h"
#include "PictureLoader.h"
#include "PrintPlan.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "ShellExecute.h"
#include "ShownFileOperation.h"
#include "SkinEngine.h"
#include "StatusBar.h"
#include "StatusText.h"
#include "Toolbar.h"
#include "ToolbarPictures.h"
#include "ViewerCaption.h"
#include "ViewerFileFilters.h"
#include "ViewerGeometry.h"
#include "ViewerImageLoader.h"
#include "ViewerHost.h"
#include "ViewerKeyTable.h"
#include "ViewerLog.h"
#include "ViewerMenus.h"
#include "ViewerPopupMenu.h"
#include "ViewerSettings.h"
#include "VirtualKeys.h"
#include "WorkWhilePainting.h"
#include "X11Desktop.h"
#include "frmAbout.h"
#include "frmDialog.h"
#include "frmFile.h"
#include "modMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <cmath>
#include <limits>
#include <memory>

namespace {

frmViwer *g_viewer = nullptr;

constexpr double kToolbarHeight = 495;       // twips
constexpr double kFullScreenTopOffset = 510; // twips the window comes back lower
constexpr int kSlideShowItem = 9;
constexpr int kRightButton = 2;
constexpr int kScrollStep = 5;
constexpr double kZoomInFactor = 1.25;
constexpr double kZoomOutFactor = 0.75;
constexpr double kMaxZoomPercent = 1600;
constexpr double kMinZoomPercent = 0.5;
constexpr long kOpenFlags = 0x801204;
constexpr long kSaveFlags = 0x800006;
const QString kPrintJobName = QStringLiteral("Orrindale");
constexpr int kPrefetchFallbackMs = 250;

// The wait cursor while the user waits on work: the cipher deriving its
// key, a file being written. Taken back on every way out.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// A value taken to the nearest 16-bit integer (halves to even), or nothing
// when it does not fit.
std::optional<std::int16_t> toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return std::int16_t(rounded);
}

std::int32_t toInt32(double value)
{
    return std::int32_t(std::nearbyint(value));
}

}

// ---- The one instance -----------------------------------------------------

frmViwer *frmViwer::instance()
{
    if (!g_viewer) {
        g_viewer = new frmViwer();
        g_viewer->Form_Load();
    }
    return g_viewer;
}

bool frmViwer::isLoaded()
{
    return g_viewer != nullptr;
}

void frmViwer::unloadIfLoaded()
{
    if (!g_viewer)
        return;
    // A standalone viewer that asked for the end of the program has taken
    // its closing steps already.
    if (!g_viewer->m_closing)
        g_viewer->closingSteps();
    g_viewer->unload();
}

frmViwer::frmViwer()
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Caption will be set at run time.."));
    setObjectName(QStringLiteral("frmViwer"));   // as the skin's form rule names it
    createControls();
    ViewerMenus::build(menuBar());
    connectMenus();
}

frmViwer::~frmViwer()
{
    if (g_viewer == this)
        g_viewer = nullptr;
}

ImagePrefetcher *frmViwer::prefetcher() const
{
    return m_loader->prefetcher();
}

void frmViwer::unload()
{
    if (g_viewer == this)
        g_viewer = nullptr;
    hide();
    deleteLater();
}

// ---- Building the window --------------------------------------------------

void frmViwer::createControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ViewerArea"));
    central->setAutoFillBackground(true);
    QPalette back = central->palette();
    back.setColor(QPalette::Window, ToolbarPictures::BackColor);
    central->setPalette(back);
    setCentralWidget(central);

    m_MenuContainer = new QWidget(central);
    m_MenuContainer->setObjectName(QStringLiteral("MenuContainer"));
    m_MenuContainer->setAutoFillBackground(true);
    m_MenuContainer->setPalette(back);
    createToolbar();

    m_imgX = new ImgX(central);
    m_imgX->setObjectName(QStringLiteral("ImgX"));
    m_imgX->setOLEDropMode(1);
    m_imgX->setScrollMode(3);
    m_imgX->move(0, m_MenuContainer->height());
    connect(m_imgX, &ImgX::KeyDown, this, &frmViwer::ImgX_KeyDown);
    connect(m_imgX, &ImgX::DblClick, this, &frmViwer::ImgX_DblClick);
    connect(m_imgX, &ImgX::MouseUp, this, &frmViwer::ImgX_MouseUp);
    connect(m_imgX, &ImgX::ViewChanged, this, &frmViwer::ImgX_ViewChanged);
    connect(m_imgX, &ImgX::OLEDragDrop, this, &frmViwer::ImgX_OLEDragDrop);

    m_StatusBar = new StatusBar(5, this);
    m_StatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(m_StatusBar);
    // With its native window made now, the frame is known before the first
    // show, and the first image gets the same outer size as the others.
    winId();

    m_tmrSlideShow = new QTimer(this);
    m_tmrSlideShow->setObjectName(QStringLiteral("tmrSlideShow"));
    connect(m_tmrSlideShow, &QTimer::timeout, this, &frmViwer::tmrSlideShow_Timer);

    m_loader = new ViewerImageLoader(m_imgX, this);
    m_imgX->installEventFilter(this);
    central->installEventFilter(this);
    m_prefetchFallback = new QTimer(this);
    m_prefetchFallback->setSingleShot(true);
    m_prefetchFallback->setInterval(kPrefetchFallbackMs);
    connect(m_prefetchFallback, &QTimer::timeout, this, &frmViwer::startPendingPrefetch);
    m_imgX->setFocus();
}

void frmViwer::createToolbar()
{
    m_Toolbar = new Toolbar(m_MenuContainer);
    m_Toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_Toolbar->setAutoFillBackground(true);
    QPalette back = m_Toolbar->palette();
    back.setColor(QPalette::Window, ToolbarPictures::BackColor);
    m_Toolbar->setPalette(back);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    m_Toolbar->setFont(font);

    const struct { const char *key; const char *tip; } buttons[] = {
        {"open32", "Open"}, {"browsed32", "Browse"}, {"previous32", "Prevoius"}, {"next32", "Next"},
        {"slidshow32", "Slide Show"}, {"zoomin32", "Zoom In"}, {"zoomiout32", "Zoom Out"},
        {"fullscreen32", "Full Screen"}};
    const qreal pixelRatio = m_Toolbar->devicePixelRatioF();
    for (const auto &button : buttons) {
        if (m_Toolbar->ItemCount() > 0)
            m_Toolbar->AddSeparator();
        const QString key = QString::fromLatin1(button.key);
        m_Toolbar->AddButton(key, QString::fromLatin1(button.tip), ToolbarPictures::picture(key, false, pixelRatio),
                             ToolbarPictures::picture(key, true, pixelRatio));
    }
    FormGeometry::setControlHeight(m_Toolbar, kToolbarHeight);
    FormGeometry::setControlWidth(m_Toolbar, ViewerGeometry::kNarrowWidth);
    m_MenuContainer->resize(m_Toolbar->size());
    connect(m_Toolbar, &Toolbar::ButtonClick, this, &frmViwer::Toolbar_ButtonClick);
}

QAction *frmViwer::menuAction(const char *name) const
{
    return menuBar()->findChild<QAction *>(QString::fromLatin1(name));
}

void frmViwer::connectMenu(const char *name, void (frmViwer::*slot)())
{
    if (QAction *action = menuAction(name))
        connect(action, &QAction::triggered, this, slot);
}

void frmViwer::connectMenus()
{
    connectMenu("mnuopen", &frmViwer::mnuopen_Click);
    connectMenu("mnuSaveAs", &frmViwer::mnuSaveAs_Click);
    connectMenu("mnuPageSetup", &frmViwer::mnuPageSetup_Click);
    connectMenu("mnuTopLeft", &frmViwer::mnuTopLeft_Click);
    connectMenu("mnuCentered", &frmViwer::mnuCentered_Click);
    connectMenu("mnuFitToPage", &frmViwer::mnuFitToPage_Click);
    connectMenu("mnuCopyTo", &frmViwer::mnuCopyTo_Click);
    connectMenu("mnuMoveTo", &frmViwer::mnuMoveTo_Click);
    connectMenu("mnuDelete", &frmViwer::mnuDelete_Click);
    connectMenu("mnuRename", &frmViwer::mnuRename_Click);
    connectMenu("mnuAbout", &frmViwer::mnuAbout_Click);
    connectMenu("mnuBrowse", &frmViwer::mnuBrowse_Click);
    connectMenu("mnuExit", &frmViwer::mnuExit_Click);
    connectMenu("mnuCopyImage", &frmViwer::mnuCopyImage_Click);
    connectMenu("mnuFullScreen", &frmViwer::mnuFullScreen_Click);
    connectMenu("mnuZoomIn", &frmViwer::mnuZoomIn_Click);
    connectMenu("mnuZoomOut", &frmViwer::mnuZoomOut_Click);
    connectMenu("mnuNext", &frmViwer::mnuNext_Click);
    connectMenu("mnuPrevious", &frmViwer::mnuPrevious_Click);
    connectMenu("mnuSlideShow", &frmViwer::mnuSlideShow_Click);
    connectMenu("mnuSlideShowDelay", &frmViwer::mnuSlideShowDelay_Click);
    connectMenu("mnuAntiAliasDisplay", &frmViwer::mnuAntiAliasDisplay_Click);
    connectMenu("mnuRotate1", &frmViwer::mnuRotate1_Click);
    connectMenu("mnuRotate2", &frmViwer::mnuRotate2_Click);
    connectMenu("mnuSetAsWallpaper", &frmViwer::mnuSetAsWallpaper_Click);
    connectMenu("mnuHelpIndex", &frmViwer::mnuHelpIndex_Click);
    connectMenu("mnuupdate", &frmViwer::mnuupdate_Click);
}

// ---- Life of the window and its settings ----------------------------------

void frmViwer::Form_Load()
{
    SkinEngine &skin = SkinEngine::main();
    skin.ApplySkin(this);
    skin.ApplySkinByName(m_StatusBar, QStringLiteral("StatusBar"));
    skin.ApplySkinByName(m_MenuContainer, QStringLiteral("Toolbar"));
    m_Dialog = std::make_unique<ImgXDialog>();
    m_MyPrinter = std::make_unique<ImgXPrint>();
    LoadSettings();
    m_Files.clear();
}

void frmViwer::LoadSettings()
{
    const bool antiAlias = ViewerSettings::readAntiAlias();
    m_imgX->setAntiAliasDisplay(antiAlias);
    menuAction("mnuAntiAliasDisplay")->setChecked(antiAlias);
    m_tmrSlideShow->setInterval(ViewerSettings::readSlideShowDelay());
    m_FullScreen = ViewerSettings::readFullScreen();
}

void frmViwer::Form_Resize()
{
    if (m_ResizeLock != 0)
        return;
    // The control fills the room inside the window's frame between the
    // toolbar and the status bar, whatever the frame, the menu bar and the
    // status bar really take here.
    const QWidget *room = centralWidget();
    m_imgX->resize(room->width(), qMax(0, room->height() - m_imgX->y()));
    m_Toolbar->resize(room->width(), m_Toolbar->height());
    m_MenuContainer->resize(room->width(), m_MenuContainer->height());
    UpdateScrollMode();
}

void frmViwer::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_QueryUnload(0, 0);
}

void frmViwer::Form_QueryUnload(int Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel);
    Q_UNUSED(UnloadMode);
    if (m_closing)
        return;
    closingSteps();
    ViewerHost *host = ViewerHost::instance();
    if (m_Standalone) {
        // No browser stands behind a viewer opened for a command-line file.
        frmFile::Unload();
        if (host)
            host->EndProgram();
        else
            QApplication::exit(0);
        return;
    }
    unload();
    if (host)
        host->ShowMainWindow();
}

void frmViwer::closingSteps()
{
    m_closing = true;
    ViewerSettings::saveFullScreen(m_FullScreen);
    m_Files.clear();
    if (isSlideShowRunning())
        m_tmrSlideShow->stop();
    m_prefetchPending = false;
    m_loader->forgetAll();
    MessagePump::DoEvents(2);
    m_frmDlg.reset();
}

void frmViwer::ToggleAntiAlias()
{
    m_imgX->setAntiAliasDisplay(!m_imgX->AntiAliasDisplay());
    const bool on = m_imgX->AntiAliasDisplay();
    menuAction("mnuAntiAliasDisplay")->setChecked(on);
    ViewerSettings::saveAntiAlias(on);
}

void frmViwer::SetSlideShowDelay()
{
    const QString answer = Prompts::InputBox(QStringLiteral("Delay in Milliseconds(1000=1 Second):"),
                                             QStringLiteral("Slide Show Delay"),
                                             QString::number(m_tmrSlideShow->interval()));
    // Answers that are no number, or lie outside 0..32767, change nothing.
    const std::optional<int> delay = ViewerSettings::parseDelay(answer);
    if (!delay)
        return;
    if (isSlideShowRunning())
        ToggleSlideShow();
    m_tmrSlideShow->setInterval(*delay);
    ViewerSettings::saveSlideShowDelay(m_tmrSlideShow->interval());
}

// ---- Showing an entry -----------------------------------------------------

void frmViwer::ViewImage(QStringList &Files, int &Index)
{
    Index = ImageListRules::wrap(Index, int(Files.size()));
    // An empty list, or an index the wrap cannot bring back, would show no
    // entry at all: leave the view as it is.
    if (Index < 0 || Index >= Files.size())
        return;
    m_Files = Files;
    if (m_Files[Index].isEmpty()) {
        m_imgX->Pages.Clear(QString());
        return;
    }
    m_Index = Index;
    const QString path = m_Files[Index];
    // A file that cannot be decoded is shown as an empty view under its own
    // title, so the user can step on from it.
    if (!loadEntry(path))
        m_imgX->Pages.Clear(QString());
    setWindowTitle(ViewerCaption::forPath(path));
    if (!m_FullScreen) {
        sizeToImage();
    } else {
        m_FullScreen = false;
        ToggleFullScreen();
    }
    // Fitted once the window has its size: in full screen that is the
    // screen's, not the size the window had before it entered the mode.
    fitZoomToWindow();
    show();
    prefetchNeighbours();
}

bool frmViwer::loadEntry(const QString &path)
{
    try {
        if (ViewerCaption::isPictureLoaded(path))
            loadPicture(path);
        else
            m_loader->load(path);
        return true;
    } catch (const std::exception &e) {
        // ImgXError for a damaged or unsupported file, bad_alloc for one too
        // large to hold: the image on show stays as it was.
        qCWarning(lcViewer, "Cannot show %s: %s", qUtf8Printable(path), e.what());
        return false;
    }
}

// The control is told which file the picture came from, so that a cursor
// is described as its own file, not as no file at all.
void frmViwer::loadPicture(const QString &path)
{
    m_imgX->Loader.LoadFromPicture(PictureLoader::LoadPicture(path), QString(), path);
}

// Operations on the pixels work on the whole image, never on a first frame
// decoded at a reduced scale.
void frmViwer::ensureFullImage()
{
    m_loader->ensureFull();
}

void frmViwer::prefetchNeighbours()
{
    QStringList ahead;
    const auto add = [&](std::optional<int> index) {
        if (!index)
            return;
        const int i = ImageListRules::wrap(*index, int(m_Files.size()));
        if (i >= 0 && i < m_Files.size() && !ViewerCaption::isPictureLoaded(m_Files[i]))
            ahead << m_Files[i];
    };
    add(ImageListRules::nextStep(m_Files, m_Index));
    add(ImageListRules::previousStep(m_Files, m_Index));
    schedulePrefetch(m_Files[m_Index], ahead);
}

// Decodes ahead start once the shown image has been painted (or, when the
// window is hidden, a moment later): started at once they would hold back
// the very frame the user waits for.
void frmViwer::schedulePrefetch(const QString &shown, const QStringList &ahead)
{
    m_prefetchShown = ViewerCaption::isPictureLoaded(shown) ? QString() : shown;
    m_prefetchAhead = ahead;
    m_prefetchPending = true;
    m_prefetchFallback->start();
}

void frmViwer::startPendingPrefetch()
{
    if (!m_prefetchPending)
        return;
    m_prefetchPending = false;
    m_prefetchFallback->stop();
    m_loader->prefetch(m_prefetchShown, m_prefetchAhead);
}

bool frmViwer::eventFilter(QObject *watched, QEvent *event)
{
    // The layout follows the room below the menu bar, which changes with
    // the window's size and without it too (a menu bar that wraps, bars
    // shown again after full screen). The window's own resize comes after
    // its layout has resized this room, and needs no layout of its own.
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == m_imgX && event->type() == QEvent::Paint && m_prefetchPending)
        QMetaObject::invokeMethod(this, &frmViwer::startPendingPrefetch, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void frmViwer::sizeToImage()
{
    const double tppx = ScreenMetrics::twipsPerPixelX();
    const double tppy = ScreenMetrics::twipsPerPixelY();
    const std::optional<ImgXPage> page = m_imgX->Pages.Item(0);
    const int w = page ? page->Width() : 0;
    const int h = page ? page->Height() : 0;

    // Painting waits while the window is sized, so stepping through a folder
    // does not make the window flash.
    setUpdatesEnabled(false);
    FormGeometry::setControlWidth(m_imgX, w * tppx);
    FormGeometry::setControlHeight(m_imgX, ViewerGeometry::imageAreaHeight(h, tppy));
    FormGeometry::setControlWidth(m_imgX, ViewerGeometry::imageAreaWidth(FormGeometry::controlWidth(m_imgX)));
    // Read before the window's new width lays the control out again.
    const double areaWidth = FormGeometry::controlWidth(m_imgX);
    const double areaHeight = FormGeometry::controlHeight(m_imgX);
    if (isMinimized() || isMaximized()) {
        Form_Resize();
    } else {
        setWindowWidth(areaWidth);
        setWindowHeight(ViewerGeometry::windowHeight(h, areaHeight, FormGeometry::controlHeight(m_Toolbar), tppy));
        FormGeometry::setLeft(this, ViewerGeometry::centredEdge(ScreenMetrics::screenWidthTwips(), FormGeometry::width(this)));
        FormGeometry::setTop(this, ViewerGeometry::centredEdge(ScreenMetrics::screenHeightTwips(), FormGeometry::height(this)));
        // The layout also runs when the size came out as it was.
        Form_Resize();
    }
    setUpdatesEnabled(true);
}

// The window is kept within the screen's size, as the desktop would keep a
// window sized by the program; a larger image is then zoomed to fit.
void frmViwer::setWindowWidth(double twips)
{
    FormGeometry::setWidth(this, qMin(twips, ScreenMetrics::screenWidthTwips()));
}

void frmViwer::setWindowHeight(double twips)
{
    FormGeometry::setHeight(this, qMin(twips, ScreenMetrics::screenHeightTwips()));
}

void frmViwer::fitZoomToWindow()
{
    const std::optional<double> zoom = ViewerGeometry::fitZoom(
        m_imgX->ImageInfo.Width(), m_imgX->ImageInfo.Height(), ScreenMetrics::twipsPerPixelX(),
        ScreenMetrics::twipsPerPixelY(), FormGeometry::width(this), FormGeometry::height(this));
    if (zoom)
        m_imgX->setZoom(*zoom);
}

void frmViwer::BackToBrowser()
{
    hide();
    ViewerHost *host = ViewerHost::instance();
    if (!host)
        return;
    host->ShowMainWindow();
    if (m_Index >= 0 && m_Index < m_Files.size())
        host->CheckPath(m_Files[m_Index]);
}

void frmViwer::ShowNext()
{
    const std::optional<int> next = ImageListRules::nextStep(m_Files, m_Index);
    if (!next)
        return;
    int index = *next;
    m_imgX->setZoom(1.0);
    ViewImage(m_Files, index);
}

void frmViwer::ShowPrevious()
{
    const std::optional<int> previous = ImageListRules::previousStep(m_Files, m_Index);
    if (!previous)
        return;
    int index = *previous;
    m_imgX->setZoom(1.0);
    ViewImage(m_Files, index);
}

void frmViwer::ReloadImage()
{
    const int i = ImageListRules::wrap(m_Index, int(m_Files.size()));
    if (i < 0 || i >= m_Files.size())
        return;
    // Already in the control just as a load would put it: nothing to do.
    if (!m_loader->showsAsLoaded(m_Files[i]))
        loadEntry(m_Files[i]);
}

void frmViwer::RemoveFromFileList(int Index)
{
    m_Files = ImageListRules::without(m_Files, Index);
}

// ---- Status bar, zoom and scrolling ---------------------------------------

void frmViwer::ImgX_ViewChanged()
{
    UpdateScrollMode();
    UpdateStatusBar();
}

void frmViwer::UpdateStatusBar()
{
    // An emptied list has no position to show; the panels keep their texts.
    if (m_Files.isEmpty())
        return;
    const int position = isSlideShowRunning() ? m_SlideIndex : m_Index;
    m_StatusBar->setPanelText(1, StatusText::position(position, int(m_Files.size())));
    // Each later panel needs the shown entry and its file: when one cannot
    // be read, that panel and the ones after it keep their texts.
    if (m_Index < 0 || m_Index >= m_Files.size())
        return;
    const QString entry = m_Files[m_Index];
    if (!m_imgX->document().current()) {
        describeUndecodedEntry(entry);
        return;
    }
    const bool fromFile = ViewerCaption::isStatusFromFile(entry);
    m_StatusBar->setPanelText(2, fromFile ? FSO().GetFileName(entry) : m_imgX->ImageInfo.FileName());
    const QFileInfo file(fromFile ? entry : m_imgX->ImageInfo.FilePath());
    if (!file.isFile())
        return;
    m_StatusBar->setPanelText(3, StatusText::FormatFileSize(float(file.size())));
    m_StatusBar->setPanelText(4, fromFile ? QString()
                                          : StatusText::dimensions(m_imgX->ImageInfo.Width(), m_imgX->ImageInfo.Height(),
                                                                   m_imgX->ImageInfo.BitsPerPixel(),
                                                                   FSO().GetExtensionName(file.filePath())));
    m_StatusBar->setPanelText(5, StatusText::zoom(m_imgX->Zoom()));
}

// An entry that could not be decoded (damaged, or gone from the disk) leaves
// the control empty; the panels then describe that entry as far as its file
// tells, never the file shown before it.
void frmViwer::describeUndecodedEntry(const QString &entry)
{
    const QFileInfo file(entry);
    m_StatusBar->setPanelText(2, FSO().GetFileName(entry));
    m_StatusBar->setPanelText(3, file.isFile() ? StatusText::FormatFileSize(float(file.size())) : QString());
    m_StatusBar->setPanelText(4, QString());
    m_StatusBar->setPanelText(5, StatusText::zoom(m_imgX->Zoom()));
}

void frmViwer::ZoomIn()
{
    if (m_imgX->Zoom() * 100 > kMaxZoomPercent)
        return;
    m_imgX->setZoom(m_imgX->Zoom() * kZoomInFactor);
    UpdateScrollMode();
}

void frmViwer::ZoomOut()
{
    if (m_imgX->Zoom() * 100 < kMinZoomPercent)
        return;
    m_imgX->setZoom(m_imgX->Zoom() * kZoomOutFactor);
    UpdateScrollMode();
}

void frmViwer::UpdateScrollMode()
{
    m_imgX->setScrollMode(ViewerGeometry::scrollMode(
        m_imgX->Zoom(), m_imgX->ImageInfo.Width(), m_imgX->ImageInfo.Height(), ScreenMetrics::twipsPerPixelX(),
        ScreenMetrics::twipsPerPixelY(), FormGeometry::width(this), FormGeometry::height(this)));
}

// ---- Full screen ----------------------------------------------------------

void frmViwer::ToggleFullScreen()
{
    if (m_FullScreen)
        leaveFullScreen();
    else
        enterFullScreen();
}

void frmViwer::enterFullScreen()
{
    m_FullScreen = true;
    // The bounds saved are those of the window as the user sees it, frame
    // included, so that leaving gives the same window back.
    // Edges that do not fit 16 bits keep the value saved before.
    if (const auto left = toInt16(FormGeometry::left(this)))
        m_SavedLeft = *left;
    if (const auto top = toInt16(FormGeometry::top(this)))
        m_SavedTop = *top;
    m_SavedWidth = toInt32(FormGeometry::width(this));
    m_SavedHeight = toInt32(FormGeometry::height(this));
    setBorderStyle(0);
    if (isMaximized())
        setWindowState(windowState() & ~Qt::WindowMaximized);
    ReloadImage();
    FormGeometry::setLeft(this, 0);
    FormGeometry::setTop(this, 0);
    refreshWindow();
    setBarsVisible(false);
    FormGeometry::setWidth(this, ScreenMetrics::screenWidthTwips());
    FormGeometry::setHeight(this, ScreenMetrics::screenHeightTwips());
    // Ask the desktop to put the window above its panels as well.
    setWindowState(windowState() | Qt::WindowFullScreen);
}

void frmViwer::leaveFullScreen()
{
    m_FullScreen = false;
    setBorderStyle(2);
    SkinEngine &skin = SkinEngine::main();
    skin.ApplySkin(this);
    skin.ApplySkinByName(m_StatusBar, QStringLiteral("StatusBar"));
    skin.ApplySkinByName(m_MenuContainer, QStringLiteral("Toolbar"));
    setWindowTitle(QString());
    // Qt would show the program's name for an empty title.
    X11Desktop::setTitle(winId(), QByteArray());
    setBarsVisible(true);
    FormGeometry::setLeft(this, m_SavedLeft);
    // A top edge that would pass 16 bits leaves the window where it is.
    if (const auto top = toInt16(double(m_SavedTop) + kFullScreenTopOffset))
        FormGeometry::setTop(this, *top);
    FormGeometry::setWidth(this, m_SavedWidth);
    FormGeometry::setHeight(this, m_SavedHeight);
    ReloadImage();
    refreshWindow();
}

// 0: no border (full screen); 2: a sizable window.
void frmViwer::setBorderStyle(int style)
{
    const bool frameless = style == 0;
    if (bool(windowFlags() & Qt::FramelessWindowHint) == frameless)
        return;
    const bool visible = isVisible();
    const double left = FormGeometry::left(this);
    const double top = FormGeometry::top(this);
    setWindowFlag(Qt::FramelessWindowHint, frameless);
    // A window with a border is no longer full screen. Said while the window
    // is hidden (the flag change hid it), it comes back as a normal window
    // at once; said to the shown window, the desktop would restore the
    // full-screen bounds some time after the program has set new ones.
    if (!frameless) {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        X11Desktop::dropFullScreenState(winId());
    }
    // The outer edges stay where they were; the frame comes or goes inside them.
    FormGeometry::setLeft(this, left);
    FormGeometry::setTop(this, top);
    if (visible)
        show();
}

void frmViwer::setBarsVisible(bool visible)
{
    if (!visible)
        m_Toolbar->setVisible(false);
    m_StatusBar->setVisible(visible);
    for (const QString &name : ViewerMenus::topMenuNames()) {
        if (auto *menu = menuBar()->findChild<QMenu *>(name))
            menu->menuAction()->setVisible(visible);
    }
    // Hidden with its menus, the menu bar also takes their shortcuts away,
    // so in full screen every key goes to the key table.
    menuBar()->setVisible(visible);
    if (visible)
        m_Toolbar->setVisible(true);
    m_MenuContainer->setVisible(visible);
}

// Scheduled rather than painted at once: the frame then shows the image as
// the whole step leaves it, without an intermediate one.
void frmViwer::refreshWindow()
{
    update();
}

// ---- Slide show -----------------------------------------------------------

bool frmViwer::isSlideShowRunning() const
{
    return m_Toolbar->Item(kSlideShowItem).Checked();
}

void frmViwer::ToggleSlideShow()
{
    ToolbarItem &button = m_Toolbar->Item(kSlideShowItem);
    button.setChecked(!button.Checked());
    m_Toolbar->Refresh();
    if (!button.Checked())
        m_tmrSlideShow->stop();
    else
        AdvanceSlideShow(false);
}

void frmViwer::AdvanceSlideShow(bool FromTimer)
{
    if (!FromTimer) {
        // A delay of 0 never ticks (a QTimer of 0 would fire at every turn of
        // the event loop).
        if (m_tmrSlideShow->interval() > 0)
            m_tmrSlideShow->start();
        m_SlideIndex = m_Index + 1;
    }
    if (m_FromTimer)
        showSlide();
    m_FromTimer = false;
}

void frmViwer::showSlide()
{
    m_SlideIndex = ImageListRules::wrap(m_SlideIndex, int(m_Files.size()));
    // The list may have shrunk under a running show: start it again at the front.
    if (m_SlideIndex < 0 || m_SlideIndex >= m_Files.size())
        m_SlideIndex = 0;
    if (m_Files.isEmpty())
        return;
    const QString path = m_Files[m_SlideIndex];
    const bool loaded = loadEntry(path);
    ++m_SlideIndex;
    // A slide that cannot be shown is passed over: the last one stays up.
    if (!loaded)
        return;
    setWindowTitle(ViewerCaption::forPath(path));
    if (!m_FullScreen) {
        ++m_ResizeLock;
        sizeToImage();
        --m_ResizeLock;
        Form_Resize();
    }
    fitZoomToWindow();
    const int next = ImageListRules::wrap(m_SlideIndex, int(m_Files.size()));
    QStringList ahead;
    if (next >= 0 && next < m_Files.size() && !ViewerCaption::isPictureLoaded(m_Files[next]))
        ahead << m_Files[next];
    schedulePrefetch(path, ahead);
}

void frmViwer::tmrSlideShow_Timer()
{
    m_FromTimer = true;
    AdvanceSlideShow(true);
}

// ---- Input ----------------------------------------------------------------

void frmViwer::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(VirtualKeys::fromEvent(event), VirtualKeys::shiftState(event->modifiers()));
}

// The image control takes every key press while it has the focus; this is
// the one road by which those keys reach the key table, so none runs twice.
void frmViwer::ImgX_KeyDown(int KeyCode, int Shift)
{
    Form_KeyDown(KeyCode, Shift);
}

void frmViwer::Form_KeyDown(int KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    const ViewerCommand command = ViewerKeyTable::command(KeyCode, m_FullScreen, m_imgX->ScrollMode());
    if (command == ViewerCommand::None)
        return;
    // Esc may unload the window: what follows must not touch it then.
    QPointer<frmViwer> self(this);
    runCommand(command);
    const int runs = ViewerKeyTable::messageRunsAfter(KeyCode);
    if (self && runs > 0)
        MessagePump::DoEvents(runs);
}

void frmViwer::runCommand(ViewerCommand command)
{
    switch (command) {
    case ViewerCommand::None: break;
    case ViewerCommand::Close: Form_QueryUnload(0, 0); break;
    case ViewerCommand::Browse: BackToBrowser(); break;
    case ViewerCommand::Next: ShowNext(); break;
    case ViewerCommand::Previous: ShowPrevious(); break;
    case ViewerCommand::DeleteFile: DeleteCurrentFile(); break;
    case ViewerCommand::FullScreen: ToggleFullScreen(); break;
    case ViewerCommand::ZoomIn: ZoomIn(); break;
    case ViewerCommand::ZoomOut: ZoomOut(); break;
    case ViewerCommand::ScrollLeft: m_imgX->setScrollX(m_imgX->ScrollX() - kScrollStep); break;
    case ViewerCommand::ScrollRight: m_imgX->setScrollX(m_imgX->ScrollX() + kScrollStep); break;
    case ViewerCommand::ScrollUp: m_imgX->setScrollY(m_imgX->ScrollY() - kScrollStep); break;
    case ViewerCommand::ScrollDown: m_imgX->setScrollY(m_imgX->ScrollY() + kScrollStep); break;
    case ViewerCommand::SlideShow: ToggleSlideShow(); break;
    case ViewerCommand::AntiAlias: ToggleAntiAlias(); break;
    case ViewerCommand::RotatePlus90: RotatePlus90(); break;
    case ViewerCommand::RotateMinus90: RotateMinus90(); break;
    case ViewerCommand::SetAsWallpaper: SetAsWallpaper(); break;
    }
}

void frmViwer::ImgX_DblClick()
{
    BackToBrowser();
}

void frmViwer::ImgX_MouseUp(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    if (Button == kRightButton)
        showPopupMenu(X, Y);
}

void frmViwer::showPopupMenu(float X, float Y)
{
    std::unique_ptr<QMenu> menu(ViewerPopupMenu::build(
        isSlideShowRunning(), menuAction("mnuAntiAliasDisplay")->isChecked(), this));
    const QPoint at = ViewerPopupMenu::position(FormGeometry::left(this), FormGeometry::top(this),
                                                ScreenMetrics::twipsPerPixelX(), ScreenMetrics::twipsPerPixelY(), X, Y);
    QAction *chosen = menu->exec(at);
    const int id = chosen ? chosen->data().toInt() : 0;
    menu.reset();
    runCommand(ViewerPopupMenu::command(id));
}

bool frmViwer::IsFolder(const QString &Path)
{
    const std::uint32_t attributes = FileAttributes::get(Path);
    return attributes != FileAttributes::Invalid && (attributes & FileAttributes::Directory);
}

void frmViwer::ImgX_OLEDragDrop(const QStringList &files, bool hasFileList)
{
    if (!hasFileList)
        return;
    QStringList dropped;
    for (const QString &path : files) {
        if (!IsFolder(path) && modMain::IsImageFile(path))
            dropped << path;
    }
    // A drop of only folders or other files leaves the view as it was.
    if (dropped.isEmpty())
        return;
    int index = 0;
    ViewImage(dropped, index);
}

// ---- Menus and toolbar ----------------------------------------------------

void frmViwer::Toolbar_ButtonClick(int Index, const QString &Key)
{
    Q_UNUSED(Key);
    switch (Index) {
    case 1: LoadImage(); break;
    case 3: BackToBrowser(); break;
    case 5: ShowPrevious(); break;
    case 7: ShowNext(); break;
    case 9: ToggleSlideShow(); break;
    case 11: ZoomIn(); break;
    case 13: ZoomOut(); break;
    case 15: ToggleFullScreen(); break;
    default: break;
    }
}

void frmViwer::mnuopen_Click() { LoadImage(); }
void frmViwer::mnuBrowse_Click() { BackToBrowser(); }
void frmViwer::mnuSaveAs_Click() { SaveAs(); }
void frmViwer::mnuTopLeft_Click() { PrintImage(PrintPlan::TopLeft); }
void frmViwer::mnuCentered_Click() { PrintImage(PrintPlan::Centered); }
void frmViwer::mnuFitToPage_Click() { PrintImage(PrintPlan::FitToPage); }
void frmViwer::mnuAbout_Click() { frmAbout::ShowModeless(this); }

void frmViwer::mnuCopyTo_Click()
{
    QString newPath;
    FileOperation(opCopyTo, newPath);
}

void frmViwer::mnuMoveTo_Click()
{
    QString newPath;
    FileOperation(opMoveTo, newPath);
}

void frmViwer::mnuDelete_Click() { DeleteCurrentFile(); }

void frmViwer::mnuRename_Click()
{
    QString newPath;
    FileOperation(opRename, newPath);
}

// The page setup stays in the print object for later printing.
void frmViwer::mnuPageSetup_Click()
{
    bool result = false;
    m_MyPrinter->ShowPageSetup(this, 0, result);
}
void frmViwer::mnuExit_Click() { BackToBrowser(); }
void frmViwer::mnuCopyImage_Click() { CopyImage(); }
void frmViwer::mnuFullScreen_Click() { ToggleFullScreen(); }
void frmViwer::mnuZoomIn_Click() { ZoomIn(); }
void frmViwer::mnuZoomOut_Click() { ZoomOut(); }
void frmViwer::mnuNext_Click() { ShowNext(); }
void frmViwer::mnuPrevious_Click() { ShowPrevious(); }
void frmViwer::mnuSlideShow_Click() { ToggleSlideShow(); }
void frmViwer::mnuSlideShowDelay_Click() { SetSlideShowDelay(); }
void frmViwer::mnuAntiAliasDisplay_Click() { ToggleAntiAlias(); }
void frmViwer::mnuRotate1_Click() { RotatePlus90(); }
void frmViwer::mnuRotate2_Click() { RotateMinus90(); }
void frmViwer::mnuSetAsWallpaper_Click() { SetAsWallpaper(); }
void frmViwer::mnuHelpIndex_Click() { startProgramFile(QStringLiteral("/qmr.chm")); }
void frmViwer::mnuupdate_Click() { startProgramFile(QStringLiteral("/update/update")); }

// A missing help file or updater: nothing happens.
void frmViwer::startProgramFile(const QString &relativePath)
{
    const QString program = AppPaths::programFolder() + relativePath;
    if (ShellExecute::open(program, QStringLiteral("0"), QStringLiteral("/")) <= 32)
        qCWarning(lcViewer, "Cannot start %s", qUtf8Printable(program));
}

void frmViwer::SetAsWallpaper()
{
    ensureFullImage();
    modMain::SetAsWallpaper(m_imgX->ControlObject());
}

// ---- File operations on the shown file ------------------------------------

bool frmViwer::hasShownFile() const
{
    return m_Index >= 0 && m_Index < m_Files.size() && !m_Files[m_Index].isEmpty();
}

void frmViwer::DeleteCurrentFile()
{
    QString newPath;
    FileOperation(opDelete, newPath);
}

void frmViwer::FileOperation(FileOpCode code, QString &newPath)
{
    if (!hasShownFile())
        return;
    const QString shown = m_Files[m_Index];
    const ShownFileOperation::Result result = ShownFileOperation::run(code, shown, this);
    newPath = result.newPath;
    if (result.outcome == ShownFileOperation::Outcome::Renamed)
        afterRename(shown, result.newPath);
    else if (result.outcome == ShownFileOperation::Outcome::Gone)
        afterRemoval(shown);
}

// The image stays on show under its new name. A file it replaced is gone:
// its entries leave the list, and the positions follow.
void frmViwer::afterRename(const QString &oldPath, const QString &newPath)
{
    if (!m_Standalone && ViewerHost::instance())
        ViewerHost::instance()->RefreshImages(oldPath, newPath);
    if (m_Index >= 0 && m_Index < m_Files.size())
        m_Files[m_Index] = newPath;
    setWindowTitle(ViewerCaption::forPath(newPath));
    const QString replacedPath = QDir::cleanPath(newPath);
    bool replaced = false;
    for (int i = int(m_Files.size()) - 1; i >= 0; --i) {
        if (i == m_Index || QDir::cleanPath(m_Files[i]) != replacedPath)
            continue;
        m_Files.removeAt(i);
        m_Index -= i < m_Index ? 1 : 0;
        m_SlideIndex -= i < m_SlideIndex ? 1 : 0;
        replaced = true;
    }
    if (replaced)
        UpdateStatusBar();
}

// The entry that followed the file takes its place; after the last one, the
// first. When the file was the only one, nothing is left to show: the view
// is cleared and, with a browser behind the viewer, the user goes back to it.
void frmViwer::afterRemoval(const QString &oldPath)
{
    ViewerHost *host = m_Standalone ? nullptr : ViewerHost::instance();
    if (host)
        host->RefreshImages(oldPath, QString());
    RemoveFromFileList(m_Index);
    if (!m_Files.isEmpty()) {
        ViewImage(m_Files, m_Index);
        return;
    }
    m_Index = 0;
    m_imgX->Pages.Clear(QString());
    setWindowTitle(QString());
    if (host) {
        hide();
        host->ShowMainWindow();
    }
}

// ---- Open and Save As -----------------------------------------------------

bool frmViwer::LoadImage()
{
    m_Dialog->DialogStyle = 1;
    m_Dialog->Filter = ViewerFileFilters::openFilter();
    m_Dialog->Flags = kOpenFlags;
    m_Dialog->InitDir = shownFolder();
    bool ok = false;
    m_Dialog->ShowOpen(ok);
    if (!ok)
        return false;
    const QStringList chosen = chosenFiles();
    if (chosen.isEmpty())
        return true;
    // The first chosen file is shown, and the index moves to it, so that the
    // status bar, the steps and the file operations all mean the file on show.
    m_Index = int(m_Files.size());
    m_Files += chosen;
    loadChosenFile(chosen.first());
    if (const std::optional<ImgXPage> first = m_imgX->Pages.Item(0))
        m_imgX->Pages.SetCurrent(*first);
    setWindowTitle(ViewerCaption::forPath(chosen.first()));
    return true;
}

QStringList frmViwer::chosenFiles() const
{
    if (m_Dialog->FileCount() == 1)
        return {m_Dialog->FileName()};
    QStringList files;
    for (int i = 0; i < m_Dialog->FileCount(); ++i)
        files << m_Dialog->Folder() + m_Dialog->FileItem(i);
    return files;
}

// A file that cannot be decoded leaves the view empty.
void frmViwer::loadChosenFile(const QString &path)
{
    m_imgX->Pages.Clear(QString());
    try {
        if (ViewerCaption::isPictureLoaded(path))
            loadPicture(path);
        else
            m_imgX->Loader.LoadFromFile(path, 0, QString());
    } catch (const std::exception &e) {
        qCWarning(lcViewer, "Cannot open %s: %s", qUtf8Printable(path), e.what());
    }
}

void frmViwer::SaveAs()
{
    ensureFullImage();
    if (m_imgX->Pages.Count() == 0) {
        Prompts::MsgBox(QStringLiteral("There is no image to save."), Prompts::Exclamation);
        return;
    }
    m_Dialog->DialogStyle = 0;
    m_Dialog->Filter = ViewerFileFilters::saveFilter();
    if (const std::optional<int> preset = ViewerFileFilters::savePresetIndex(m_imgX->ImageInfo.Format()))
        m_Dialog->FilterIndex = *preset;
    long formatCode = 0;
    m_Dialog->DefaultExt = modMain::GetSaveFormat(m_Dialog->FilterIndex, formatCode);
    m_Dialog->Flags = kSaveFlags;
    m_Dialog->InitDir = shownFolder();
    bool ok = false;
    m_Dialog->ShowSave(ok);
    if (!ok)
        return;
    const QString path = m_Dialog->FileName();
    formatCode = 0;
    modMain::GetSaveFormat(m_Dialog->FilterIndex, formatCode);
    writeImage(path, int(formatCode));
}

// A large image takes seconds to encode: it is written on a worker thread
// under the wait cursor, while the window keeps painting and takes no
// commands. The component writes a temporary file and renames it, so a
// failed save leaves any file of that name as it was.
void frmViwer::writeImage(const QString &path, int formatCode)
{
    QString failure;
    {
        const BusyCursor busy;
        try {
            WorkWhilePainting::run(m_imgX->Export.SaveFileJob(path, formatCode, 0, true));
        } catch (const ImgXError &error) {
            failure = error.text();
        } catch (const std::bad_alloc &) {
            failure = QStringLiteral("There is not enough memory to write the file.");
        }
    }
    if (failure.isEmpty())
        return;
    qCWarning(lcViewer) << "Save As" << path << "failed:" << failure;
    Prompts::MsgBox(QStringLiteral("The image could not be saved as %1.\n%2").arg(path, failure), Prompts::Critical);
}

QString frmViwer::shownFolder() const
{
    return hasShownFile() ? QFileInfo(m_Files[m_Index]).absolutePath() : QString();
}

// ---- Printing -------------------------------------------------------------

void frmViwer::PrintImage(int mode)
{
    ensureFullImage();
    const long pages = m_imgX->Pages.Count();
    m_MyPrinter->FromPage = 1;
    m_MyPrinter->ToPage = pages;
    m_MyPrinter->MaxPage = pages;
    m_MyPrinter->MinPage = 1;
    m_MyPrinter->DialogOptions = 0;
    // From the dialog on, a failure ends the printing quietly; jobs already
    // sent stay sent. Printed to a file, the jobs of the command share it.
    try {
        bool ok = false;
        m_MyPrinter->ShowPrintDialog(this, 0, ok);
        if (ok) {
            m_MyPrinter->beginDocument();
            printCalls(mode);
        }
    } catch (const std::exception &e) {
        qCWarning(lcViewer, "Printing %s stopped: %s", qUtf8Printable(m_imgX->ImageInfo.FilePath()), e.what());
    }
    m_MyPrinter->endDocument();
}

void frmViwer::printCalls(int mode)
{
    const QVector<PrintCall> calls = PrintPlan::make(mode, m_MyPrinter->PrintRange(), m_imgX->Pages.Count(),
                                                     m_MyPrinter->FromPage, m_MyPrinter->ToPage);
    for (const PrintCall &call : calls) {
        if (call.what == PrintCall::AllPages) {
            m_MyPrinter->PrintPages(kPrintJobName, m_imgX->Pages, call.center, call.fit);
        } else if (call.what == PrintCall::ShownImage) {
            m_MyPrinter->PrintImage(kPrintJobName, m_imgX->Export.GetPicture(), call.center, call.fit);
        } else {
            const std::optional<ImgXPage> page = m_imgX->Pages.Item(call.pageIndex);
            if (!page)
                throw ImgXError(QStringLiteral("There is no page %1.").arg(call.pageIndex + 1));
            m_MyPrinter->PrintImage(kPrintJobName, page->image, call.center, call.fit);
        }
    }
}

// ---- Encryption -----------------------------------------------------------

void frmViwer::Decrypt()
{
    try {
        askKeyAndApply(QStringLiteral("Decryption"), QStringLiteral("Decryption Key:"), true);
    } catch (const std::exception &e) {
        // A key the control rejects changes nothing and says nothing.
        qCWarning(lcViewer, "Cannot decrypt %s: %s", qUtf8Printable(m_imgX->ImageInfo.FilePath()), e.what());
    }
    if (m_frmDlg)
        m_frmDlg->hide();
}

void frmViwer::Encrypt()
{
    askKeyAndApply(QStringLiteral("Encryption"), QStringLiteral("Encryption Key:"), false);
    m_frmDlg->hide();
}

void frmViwer::askKeyAndApply(const QString &caption, const QString &rowCaption, bool decrypt)
{
    ensureFullImage();
    m_frmDlg = std::make_unique<frmDialog>();
    m_frmDlg->setWindowTitle(caption);
    m_frmDlg->AddControl(rowCaption, QString(), 0);
    m_frmDlg->ShowModal(this);
    const bool cancelled = m_frmDlg->Cancelled;
    const QString key = m_frmDlg->txtText(0)->text();
    if (key.isEmpty() || cancelled)
        return;
    const BusyCursor busy;
    if (decrypt)
        m_imgX->Transform.Decrypt(key, QString());
    else
        m_imgX->Transform.Encrypt(key, QString());
}

// ---- Small operations on the shown image ----------------------------------
// With nothing loaded the imaging control refuses them; that changes nothing.

void frmViwer::RotatePlus90()
{
    ensureFullImage();
    try {
        m_imgX->Transform.Rotate(90.0f, nullptr, 0, QString());
    } catch (const ImgXError &) {
    }
}

void frmViwer::RotateMinus90()
{
    ensureFullImage();
    try {
        m_imgX->Transform.Rotate(-90.0f, nullptr, 0, QString());
    } catch (const ImgXError &) {
    }
}

void frmViwer::CopyImage()
{
    ensureFullImage();
    try {
        m_imgX->Export.CopyToClipboard();
    } catch (const ImgXError &) {
    }
}

// Item decodes a page not on show, and an animation's earlier frame is
// played again from the first: the page it gives is the one shown, not
// asked for twice.
void frmViwer::ShowNextPage()
{
    ensureFullImage();
    if (const std::optional<ImgXPage> next = m_imgX->Pages.Item(m_imgX->ImageInfo.PageIndex() + 1))
        m_imgX->Pages.SetCurrent(*next);
}

void frmViwer::ShowPreviousPage()
{
    ensureFullImage();
    if (const std::optional<ImgXPage> previous = m_imgX->Pages.Item(m_imgX->ImageInfo.PageIndex() - 1))
        m_imgX->Pages.SetCurrent(*previous);
}

void frmViwer::ClearImage()
{
    m_imgX->Pages.Clear(QString());
}

void frmViwer::LoadPreviewFile(const QString &path)
{
    if (path.isEmpty() || FSO().FolderExists(path)) {
        m_imgX->Pages.Clear(QString());
        return;
    }
    if (ViewerCaption::isPictureLoaded(path)) {
        try {
            m_imgX->setSourceIsFile(false);
            loadPicture(path);
        } catch (const ImgXError &e) {
            qCWarning(lcViewer, "Cannot preview %s: %s", qUtf8Printable(path), e.what());
            m_imgX->Pages.Clear(QString());
        }
        return;
    }
    try {
        m_imgX->setSourceIsFile(true);
        m_imgX->Loader.LoadFromFile(path, 0, QString());
    } catch (const std::exception &e) {
        qCWarning(lcViewer, "Cannot preview %s: %s", qUtf8Printable(path), e.what());
        m_imgX->Pages.Clear(QString());
        return;
    }
    m_imgX->setScrollMode(0);
}
