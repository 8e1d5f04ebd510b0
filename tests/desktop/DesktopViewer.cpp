#include "DesktopViewer.h"

#include "CRegister.h"
#include "Desktop.h"
#include "ImgX.h"
#include "TestFiles.h"
#include "ViewerSettings.h"
#include "frmViwer.h"

#include <QApplication>

void DesktopViewer::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    ViewerHost::setInstance(this);
    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, ViewerSettings::FullScreenName,
                               QStringLiteral("0"));
}

void DesktopViewer::TearDown()
{
    EXPECT_TRUE(modals.unexpected.isEmpty()) << modals.unexpected.join(" | ").toStdString();
    frmViwer::unloadIfLoaded();
    QApplication::processEvents();
    ViewerHost::setInstance(nullptr);
}

QString DesktopViewer::image(const QString &name, int width, int height, const char *format)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(TestFiles::writeImage(path, width, height, format)) << path.toStdString();
    return path;
}

frmViwer *DesktopViewer::show(QStringList files)
{
    frmViwer *viewer = frmViwer::instance();
    viewer->imgX()->setZoom(1.0);
    int index = 0;
    viewer->ViewImage(files, index);
    EXPECT_TRUE(Desktop::waitFramed(viewer)) << "the window manager never framed the viewer";
    return viewer;
}
