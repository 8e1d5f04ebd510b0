#include "BrowserFixture.h"

#include "FolderSearch.h"
#include "ListView.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QTest>

const QString BrowserFixture::BrowserExtList =
    QStringLiteral("JPG GIF BMP PNG PSD TIF PCX TGA WBMP PCD WMF EMF ICO DIB");

void BrowserFixture::SetUp()
{
    ASSERT_TRUE(tmp.isValid());
    root = tmp.path();
    prompts().reset();
    browser = std::make_unique<ImageExplore>();
    browser->resize(900, 700);
    QObject::connect(browser.get(), &ImageExplore::CurrSelectedImage,
                     [this](const QString &path) { events << path; });
    browser->SetExt(BrowserExtList);
}

void BrowserFixture::TearDown()
{
    browser.reset();
    settle();
    prompts().reset();
}

QString BrowserFixture::makeFolder(const QString &relative)
{
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return path;
}

QString BrowserFixture::makeImage(const QString &folder, const QString &name, int width, int height)
{
    const QString path = folder + QLatin1Char('/') + name;
    EXPECT_TRUE(TestFiles::pattern(width, height).save(path, "PNG")) << qPrintable(path);
    return path;
}

QString BrowserFixture::makeFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder + QLatin1Char('/') + name;
    EXPECT_TRUE(TestFiles::writeBytes(path, bytes));
    return path;
}

QStringList BrowserFixture::namesInOrder(const QString &folder)
{
    QStringList names;
    QString name;
    for (FolderSearch search(folder + QStringLiteral("/*")); search.next(name);)
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names << name;
    return names;
}

void BrowserFixture::showAndFocus()
{
    browser->show();
    QApplication::setActiveWindow(browser.get());
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser.get()));
    browser->listView()->setFocus();
    settle();
    ASSERT_EQ(QApplication::focusWidget(), browser->listView());
}

void BrowserFixture::settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

int BrowserFixture::count() const { return browser->listView()->Count(); }
QString BrowserFixture::text(int i) const { return browser->listView()->Text(i); }
QString BrowserFixture::tag(int i) const { return browser->listView()->Tag(i); }
QString BrowserFixture::icon(int i) const { return browser->listView()->Icon(i); }
bool BrowserFixture::selected(int i) const { return browser->listView()->Selected(i); }
int BrowserFixture::current() const { return browser->listView()->SelectedItem(); }

QStringList BrowserFixture::tags() const
{
    QStringList all;
    for (int i = 1; i <= count(); ++i)
        all << tag(i);
    return all;
}
