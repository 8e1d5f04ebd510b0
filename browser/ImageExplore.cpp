#include "ImageExplore.h"

#include "BrowserLog.h"
#include "BrowserPictures.h"
#include "FileSystemObject.h"
#include "FolderSearch.h"
#include "ImageList.h"
#include "ImgXDocument.h"
#include "ListView.h"
#include "MessagePump.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "ThumbnailMaker.h"
#include "VirtualKeys.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString FolderKey = QStringLiteral("Folder");
const QString LoadingKey = QStringLiteral("A");
constexpr double MinimumWidthTwips = 1600;
constexpr double NoticeInsetTwips = 400;
constexpr int MessageInterval = 20;

QString withSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

bool isDots(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

enum class EntryKind { Gone, Folder, File };

// What the entry is by its attributes. An entry whose attributes cannot
// be read has every bit set, so it counts as a folder; one that vanished
// since the folder was read is no entry at all.
EntryKind entryKind(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::File;
    if (errno == ENOENT && ::lstat(native.constData(), &st) != 0)
        return EntryKind::Gone;
    return EntryKind::Folder;
}

// What a search of the folder could not read goes to the log, once for each
// listing or image list however many passes it takes.
void logWhatWasPassedOver(const QString &folder, const FolderSearch &search)
{
    if (search.readError() != 0)
        qCWarning(lcBrowser, "Cannot read the folder %s: %s", qUtf8Printable(folder), std::strerror(search.readError()));
    for (const QString &name : search.unreadableNames())
        qCWarning(lcBrowser) << "passed over an entry of" << folder << "named" << name
                             << "- its name is not valid UTF-8, so it cannot be opened";
}

}

ImageExplore::ImageExplore(QWidget *parent)
    : QWidget(parent), lv(new ListView(this)), iList(new ImageList(this)), Text1(new QLabel(this)),
      mnuMenu(new QMenu(QStringLiteral("MENU"), this)), ImgX(std::make_unique<ImgXDocument>())
{
    setFocusPolicy(Qt::ClickFocus);
    setMinimumWidth(int(std::ceil(MinimumWidthTwips / ScreenMetrics::twipsPerPixelX())));

    lv->setGeometry(rect());
    lv->setFrameShape(QFrame::StyledPanel);
    lv->setFrameShadow(QFrame::Sunken);
    lv->setHideSelection(true);
    lv->setAcceptDrops(false);

    Text1->setText(QStringLiteral("there are no items to show."));
    Text1->setAutoFillBackground(true);
    Text1->setMargin(4);
    Text1->hide();
    FormGeometry::setControlWidth(Text1, FormGeometry::controlWidth(this) - NoticeInsetTwips);

    connect(lv, &ListView::KeyDown, this, &ImageExplore::lv_KeyDown);
    connect(lv, &ListView::KeyUp, this, &ImageExplore::lv_KeyUp);
    connect(lv, &ListView::MouseUp, this, &ImageExplore::lv_MouseUp);
    connect(lv, &ListView::DblClick, this, &ImageExplore::lv_DblClick);
    buildMenu();
}

ImageExplore::~ImageExplore()
{
    m_listings->alive = false;
    m_prefetch.cancel();
    m_Files.clear();
}

void ImageExplore::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Never narrower than the minimum (the host may have made it so
    // before the minimum width was in force).
    if (FormGeometry::controlWidth(this) <= MinimumWidthTwips && width() < minimumWidth())
        resize(minimumWidth(), height());
    lv->setGeometry(rect());
    const int inset = FormGeometry::toPixelsX(NoticeInsetTwips / 2);
    Text1->move(inset, inset);
    FormGeometry::setControlWidth(Text1, FormGeometry::controlWidth(this) - NoticeInsetTwips);
}

// Keys that reach the control itself rather than its list.
void ImageExplore::keyPressEvent(QKeyEvent *event)
{
    if (!hasFocus())
        return QWidget::keyPressEvent(event);
    if (VirtualKeys::fromEvent(event) == VirtualKeys::Delete) {
        mnuDelete_Click();
        update();
    }
}

void ImageExplore::keyReleaseEvent(QKeyEvent *event)
{
    if (!hasFocus() || event->isAutoRepeat())
        return QWidget::keyReleaseEvent(event);
    const int keyCode = VirtualKeys::fromEvent(event);
    if (keyCode == VirtualKeys::Control)
        return;
    if (VirtualKeys::shiftState(event->modifiers()) == 2)
        raiseCurrentItem();
    else
        SelectItem(lv->SelectedItem(), true);
}

// ---- Listing ---------------------------------------------------------------

void ImageExplore::SetExt(const QString &s)
{
    if (s.isEmpty())
        Prompts::MsgBox(QStringLiteral("Extrsntions should be exist and separtated by spaces only like 'bmp jpg gif'"),
                        Prompts::Exclamation);
    m_Ext = s.toLower();
}

bool ImageExplore::IsSupportedFile(const QString &path) const
{
    const QString ext = FSO().GetExtensionName(path).toLower();
    return ext.size() >= 3 && m_Ext.contains(ext);
}

void ImageExplore::ExplorePath(const QString &path)
{
    if (m_Ext.isEmpty()) {
        Prompts::MsgBox(QStringLiteral("You must call function 'SetExt' first"), Prompts::Exclamation);
        return;
    }
    m_listings->running++;
    const Listing listing{++m_listings->started, m_listings};
    runListing(path, listing);
    listing.state->running--;
}

void ImageExplore::StopListing()
{
    // Counts as a newer listing for the one that is paused.
    m_listings->started++;
    m_Stop = true;
    m_prefetch.cancel();
}

void ImageExplore::runListing(const QString &path, const Listing &listing)
{
    m_prefetch.cancel();
    emit CurrSelectedImage(QString());
    if (listing.superseded())
        return;
    m_Stop = false;
    ListFolder(path, QStringLiteral("*.*"), listing);
    if (listing.superseded())
        return;
    if (m_Count > 0) {
        SelectItem(1, true);
        if (listing.superseded())
            return;
    }
    trimFiles();
}

// Keeps as many file entries as thumbnails were stored: a file whose
// thumbnail failed ends the listing, and its entry goes again.
void ImageExplore::trimFiles()
{
    const int thumbnails = iList->Count() - 2;
    if (thumbnails >= 1 && m_Files.size() > thumbnails)
        m_Files.resize(thumbnails);
}

void ImageExplore::ListFolder(const QString &path, const QString &pattern, const Listing &listing)
{
    m_Files.clear();
    lv->setIcons(nullptr);
    iList->Clear();
    lv->Clear();
    Text1->hide();
    const QString folder = withSeparator(path);

    // Count pass: names and attributes only, so the placeholders show at once.
    int count = 0;
    QStringList imageFiles;
    {
        FolderSearch search(folder + QLatin1Char('*'));
        for (QString name; search.next(name);) {
            if (isDots(name))
                continue;
            const QString full = folder + name;
            const EntryKind kind = entryKind(full);
            if (kind == EntryKind::Folder) {
                ++count;
            } else if (kind == EntryKind::File && IsSupportedFile(full)) {
                ++count;
                imageFiles << full;
            }
        }
        logWhatWasPassedOver(folder, search);
    }
    m_pixelRatio = lv->devicePixelRatioF();
    m_prefetch.start(imageFiles, m_pixelRatio);

    iList->Add(FolderKey, BrowserPictures::folder(m_pixelRatio));
    iList->Add(LoadingKey, BrowserPictures::loading(m_pixelRatio));
    lv->setIcons(nullptr);
    lv->setIcons(iList);
    lv->Add(count, ListItem{QString(), QString(), LoadingKey});
    lv->viewport()->repaint();

    if (!m_Stop)
        LoadFolderItems(path, pattern, listing);
    if (!listing.superseded())
        m_prefetch.cancel();
}

void ImageExplore::LoadFolderItems(const QString &path, const QString &pattern, const Listing &listing)
{
    m_Count = 0;
    Text1->hide();
    const QString folder = withSeparator(path);
    QString name;

    for (FolderSearch search(folder + QLatin1Char('*')); search.next(name);) {
        if (m_Stop)
            return;
        if (isDots(name))
            continue;
        const QString full = folder + name;
        if (entryKind(full) == EntryKind::Folder) {
            AddImage(full, true);
            if (listing.superseded())
                return;
            ++m_Count;
        }
    }

    for (FolderSearch search(folder + pattern); search.next(name);) {
        if (m_Stop)
            return;
        const QString full = folder + name;
        if (!isDots(name) && entryKind(full) == EntryKind::File && IsSupportedFile(full)) {
            AddImage(full, false);
            if (listing.superseded())
                return;
            m_Files << full;
            ++m_Count;
        }
    }

    if (m_Count == 0) {
        Text1->show();
        Text1->raise();
    }
    m_Stop = true;
}

QStringList ImageExplore::GetImageList(const QString &path, const QString &SearchStr)
{
    if (m_listings->running == 0)
        m_Count = 0;
    const QString folder = withSeparator(path);
    QStringList result;
    QString name;
    FolderSearch search(folder + SearchStr);
    while (search.next(name)) {
        if (isDots(name))
            continue;
        const QString full = folder + name;
        // A name that cannot be spelt back to the file system is no path
        // the viewer could open.
        if (IsSupportedFile(full) && !FSO().FolderExists(full) && entryKind(full) != EntryKind::Gone)
            result << full;
    }
    logWhatWasPassedOver(folder, search);
    return result;
}

// ---- Thumbnails ------------------------------------------------------------

void ImageExplore::AddImage(const QString &path, bool isFolder)
{
    QString error;
    if (!isFolder && !storeThumbnail(path, error))
        return thumbnailFailed(error);
    if (lv->Count() == 0) {
        lv->Clear();
        lv->setIcons(nullptr);
        lv->setIcons(iList);
    }
    const ListItem item{FSO().GetFileName(path), path, isFolder ? FolderKey : path};
    if (!lv->setItem(m_Count + 1, item))
        return thumbnailFailed(QStringLiteral("Index out of bounds"));
    if (m_Count % MessageInterval == 0)
        MessagePump::DoEvents();
}

bool ImageExplore::storeThumbnail(const QString &path, QString &error)
{
    std::optional<Thumbnail> made = m_prefetch.take(path);
    if (!made)
        made = ThumbnailMaker::make(path, m_pixelRatio);
    if (!made->ok()) {
        error = made->error;
        return false;
    }
    if (!iList->Add(path, made->picture)) {
        error = QStringLiteral("Key is not unique in collection");
        return false;
    }
    return true;
}

void ImageExplore::thumbnailFailed(const QString &error)
{
    const Listing listing = latestListing();
    Prompts::MsgBox(error, Prompts::Critical);
    // The message box lets pending events run; a listing started meanwhile has
    // already ended, and this one makes no further change.
    if (!listing.superseded())
        m_Stop = true;
}
