#include "PreviewPane.h"

#include "AppLog.h"
#include "FileSystemObject.h"
#include "ImgX.h"
#include "PictureLoader.h"
#include "PreviewZoom.h"
#include "ScreenMetrics.h"

#include <exception>

PreviewPane::PreviewPane(ImgX *view) : m_view(view) {}

bool PreviewPane::isPictureFile(const QString &path)
{
    // A plain substring search: a file without an extension counts too.
    return PictureLoadExts.contains(FSO().GetExtensionName(path).toLower());
}

void PreviewPane::Show(const QString &path)
{
    if (path.isEmpty() || FSO().FolderExists(path)) {
        Clear();
        return;
    }
    // A damaged or unreadable file must only leave the preview empty.
    try {
        if (isPictureFile(path))
            loadPicture(path);
        else
            loadFile(path);
    } catch (const std::exception &e) {
        qCWarning(lcApp, "Cannot preview %s: %s", qUtf8Printable(path), e.what());
        Clear();
        return;
    }
    m_view->setScrollMode(0);
}

void PreviewPane::loadPicture(const QString &path)
{
    const QImage picture = PictureLoader::LoadPicture(path);
    m_picturePath.clear();
    m_view->setSourceIsFile(false);
    m_view->Loader.LoadFromPicture(picture);
    m_picturePath = path;
}

void PreviewPane::loadFile(const QString &path)
{
    m_picturePath.clear();
    m_view->setSourceIsFile(true);
    m_view->Loader.LoadFromFile(path, 0, QString());
}

void PreviewPane::Clear()
{
    m_picturePath.clear();
    m_view->Pages.Clear();
}

bool PreviewPane::isEmpty() const
{
    return m_view->Pages.Count() == 0;
}

QString PreviewPane::ShownFile() const
{
    if (isEmpty())
        return QString();
    const QString path = m_view->ImageInfo.FilePath();
    return path.isEmpty() ? m_picturePath : path;
}

void PreviewPane::ZoomIn()
{
    if (isEmpty())
        return;
    if (const auto zoom = PreviewZoom::zoomedIn(m_view->Zoom()))
        applyZoom(*zoom);
}

void PreviewPane::ZoomOut()
{
    if (isEmpty())
        return;
    if (const auto zoom = PreviewZoom::zoomedOut(m_view->Zoom()))
        applyZoom(*zoom);
}

void PreviewPane::applyZoom(double zoom)
{
    m_view->setZoom(zoom);
    const QSize image(m_view->ImageInfo.Width(), m_view->ImageInfo.Height());
    const QSizeF control(FormGeometry::controlWidth(m_view), FormGeometry::controlHeight(m_view));
    m_view->setScrollMode(PreviewZoom::scrollMode(zoom, image, ScreenMetrics::twipsPerPixelX(),
                                                  ScreenMetrics::twipsPerPixelY(), control));
}
