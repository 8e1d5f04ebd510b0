#include "ViewerFixture.h"

#include "CRegister.h"
#include "ImgX.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "ViewerSettings.h"
#include "frmViwer.h"

#include <QApplication>

void ViewerFixture::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    ScriptedPrompts::instance().reset();
    forgetSettings();
    ViewerHost::setInstance(&host);
}

void ViewerFixture::TearDown()
{
    frmViwer::unloadIfLoaded();
    processEvents();
    ViewerHost::setInstance(nullptr);
    ScriptedPrompts::instance().reset();
}

QString ViewerFixture::image(const QString &name, int width, int height, const char *format)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(TestFiles::writeImage(path, width, height, format)) << path.toStdString();
    return path;
}

frmViwer *ViewerFixture::viewer(bool fullScreen)
{
    frmViwer::unloadIfLoaded();
    processEvents();
    storeSetting(ViewerSettings::FullScreenName, fullScreen ? QStringLiteral("-1") : QStringLiteral("0"));
    return frmViwer::instance();
}

frmViwer *ViewerFixture::show(QStringList files, int index, bool fullScreen)
{
    frmViwer *v = viewer(fullScreen);
    v->imgX()->setZoom(1.0);
    v->m_Standalone = false;
    v->ViewImage(files, index);
    processEvents();
    return v;
}

void ViewerFixture::storeSetting(const QString &name, const QString &value)
{
    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, name, value);
}

QString ViewerFixture::storedSetting(const QString &name)
{
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, name, QStringLiteral("<none>"));
}

void ViewerFixture::forgetSettings()
{
    CRegister reg;
    for (const QString &name : {ViewerSettings::AntiAliasName, ViewerSettings::DelayName, ViewerSettings::FullScreenName})
        reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, name);
}

void ViewerFixture::processEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
