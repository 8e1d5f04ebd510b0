// Listing a folder: what is listed, in which order, the placeholders, the
// pauses for pending messages, newer listings, and bad input.

#include "BrowserFixture.h"

#include "ImageList.h"
#include "ListView.h"
#include "LoggedWarnings.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs `work` once, the first time pending messages run while the fill
// counter has the given value.
void whenFillCountIs(ImageExplore *browser, int value, std::function<void()> work)
{
    auto *timer = new QTimer(browser);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (browser->fillCount() != value)
            return;
        timer->stop();
        timer->deleteLater();
        work();
    });
    timer->start();
}

QByteArray pngBytes(int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TestFiles::pattern(width, height).save(&buffer, "PNG");
    return bytes;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small PNG whose header claims width x height pixels.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = pngBytes(4, 4);
    auto put32 = [&bytes](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
    };
    put32(16, width);
    put32(20, height);
    put32(29, crc32(bytes.mid(12, 17)));
    return bytes;
}

}

class ListingTest : public BrowserFixture {};

TEST_F(ListingTest, TheSupportedFileRuleDecidesWhatIsListed)
{
    const QString dir = makeFolder("mixed");
    for (const char *name : {"photo.JPG", "photo.jpg", "a.wbm", "photo.jpeg", "scan.tiff", "anim.cur", "a.bm", "noext"})
        makeImage(dir, name);
    makeFolder("mixed/pics.jpg");

    browser->ExplorePath(dir);

    ASSERT_EQ(count(), 4);
    EXPECT_EQ(text(1), "pics.jpg");
    EXPECT_EQ(icon(1), "Folder");
    const QStringList files = browser->files();
    EXPECT_EQ(std::set<QString>(files.begin(), files.end()),
              (std::set<QString>{dir + "/photo.JPG", dir + "/photo.jpg", dir + "/a.wbm"}));
    EXPECT_TRUE(prompts().messages.isEmpty());
}

TEST_F(ListingTest, FoldersComeFirstThenImagesEachInNameOrder)
{
    const QString dir = makeFolder("photos");
    makeFolder("photos/zeta");
    makeImage(dir, "IMG_2.gif");
    makeFolder("photos/Alpha");
    makeImage(dir, "b.png");
    makeImage(dir, "img_10.bmp");
    makeFile(dir, "notes.txt", "text");
    const QStringList folders = {dir + "/Alpha", dir + "/zeta"};
    const QStringList images = {dir + "/b.png", dir + "/img_10.bmp", dir + "/IMG_2.gif"};

    QStringList placeholderIcons;
    whenFillCountIs(browser.get(), 0, [&] {
        for (int i = 1; i <= count(); ++i)
            placeholderIcons << icon(i) + "|" + text(i);
    });
    browser->ExplorePath(dir);

    // During the first pause: five items, the first filled, four placeholders.
    ASSERT_EQ(placeholderIcons.size(), 5);
    EXPECT_EQ(placeholderIcons.mid(1), QStringList(4, "A|"));
    EXPECT_EQ(tags(), folders + images);
    EXPECT_EQ(browser->files(), images);
    EXPECT_EQ(browser->fillCount(), 5);
    ImageList *pictures = browser->imageList();
    ASSERT_EQ(pictures->Count(), 5);
    EXPECT_EQ(pictures->Key(1), "Folder");
    EXPECT_EQ(pictures->Key(2), "A");
    EXPECT_EQ(QStringList({pictures->Key(3), pictures->Key(4), pictures->Key(5)}), images);
    EXPECT_EQ(pictures->ImageSize(), QSize(150, 125));
    EXPECT_EQ(icon(1), "Folder");
    EXPECT_EQ(icon(3), images[0]);
    EXPECT_EQ(text(3), QFileInfo(images[0]).fileName());
    EXPECT_EQ(events, QStringList({QString(), folders[0]}));
    EXPECT_EQ(current(), 1);
    EXPECT_TRUE(selected(1));
    EXPECT_TRUE(browser->stopped());
    EXPECT_FALSE(browser->emptyNotice()->isVisibleTo(browser.get()));
}

TEST_F(ListingTest, AnEmptyFolderShowsTheNoticeAndRaisesOneEvent)
{
    const QString dir = makeFolder("empty");
    makeFile(dir, "readme.txt", "x");
    browser->ExplorePath(dir);

    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(browser->emptyNotice()->isVisibleTo(browser.get()));
    EXPECT_EQ(browser->emptyNotice()->text(), "there are no items to show.");
    EXPECT_TRUE(browser->files().isEmpty());
    EXPECT_EQ(events, QStringList({QString()}));

    // The next listing with items hides it again.
    makeImage(dir, "one.png");
    browser->ExplorePath(dir);
    EXPECT_FALSE(browser->emptyNotice()->isVisibleTo(browser.get()));
}

TEST_F(ListingTest, MissingFoldersAndFilesGivenAsFoldersListNothing)
{
    const QString file = makeImage(makeFolder("f"), "x.png");
    for (const QString &path : {root + "/no such folder", file}) {
        browser->ExplorePath(path);
        EXPECT_EQ(count(), 0) << qPrintable(path);
        EXPECT_TRUE(browser->emptyNotice()->isVisibleTo(browser.get()));
    }
    EXPECT_TRUE(prompts().messages.isEmpty());
}

TEST_F(ListingTest, SubFoldersOnlyLeaveTheFileListEmpty)
{
    const QString dir = makeFolder("parent");
    makeFolder("parent/one");
    makeFolder("parent/two");
    browser->ExplorePath(dir);
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(browser->files().isEmpty());
    EXPECT_EQ(browser->imageList()->Count(), 2);
}

TEST_F(ListingTest, ATrailingSeparatorMakesNoDifference)
{
    const QString dir = makeFolder("photos");
    makeImage(dir, "one.png");
    makeFolder("photos/sub");

    browser->ExplorePath(dir);
    const QStringList without = tags();
    browser->ExplorePath(dir + "/");
    EXPECT_EQ(tags(), without);
    EXPECT_TRUE(without.contains(dir + "/one.png"));
    EXPECT_TRUE(without.contains(dir + "/sub"));
}

TEST_F(ListingTest, ListingBeforeTheExtensionsAreSetWarnsAndChangesNothing)
{
    ImageExplore fresh;
    QStringList freshEvents;
    QObject::connect(&fresh, &ImageExplore::CurrSelectedImage, [&](const QString &p) { freshEvents << p; });
    EXPECT_EQ(fresh.listView()->Count(), 0);
    EXPECT_EQ(fresh.imageList()->Count(), 0);

    const QString dir = makeFolder("photos");
    makeImage(dir, "one.png");
    fresh.ExplorePath(dir);

    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].text, "You must call function 'SetExt' first");
    EXPECT_EQ(prompts().messages[0].style, 48);
    EXPECT_EQ(fresh.listView()->Count(), 0);
    EXPECT_TRUE(freshEvents.isEmpty());
}

TEST_F(ListingTest, AnEmptyExtensionListWarnsAndStopsLaterListings)
{
    const QString dir = makeFolder("photos");
    makeImage(dir, "one.png");
    browser->ExplorePath(dir);
    ASSERT_EQ(count(), 1);
    events.clear();

    browser->SetExt(QString());
    browser->ExplorePath(dir);

    ASSERT_EQ(prompts().messages.size(), 2);
    EXPECT_EQ(prompts().messages[0].text,
              "Extrsntions should be exist and separtated by spaces only like 'bmp jpg gif'");
    EXPECT_EQ(prompts().messages[0].style, 48);
    EXPECT_EQ(prompts().messages[1].text, "You must call function 'SetExt' first");
    EXPECT_EQ(count(), 1);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(ListingTest, PendingMessagesRunAfterItems1_21And41)
{
    const QString dir = makeFolder("many");
    for (int i = 0; i < 45; ++i)
        makeFolder(QStringLiteral("many/f%1").arg(i));

    std::set<int> seen;
    bool filledUpToCounter = true;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const int filled = browser->fillCount();
        seen.insert(filled);
        // The item just filled carries its name; the next is a placeholder.
        filledUpToCounter = filledUpToCounter && !text(filled + 1).isEmpty()
            && (filled + 2 > count() || text(filled + 2).isEmpty());
    });
    probe.start();
    browser->ExplorePath(dir);
    probe.stop();

    EXPECT_EQ(seen, (std::set<int>{0, 20, 40}));
    EXPECT_TRUE(filledUpToCounter);
    EXPECT_EQ(browser->fillCount(), 45);
}

TEST_F(ListingTest, ANewerListingStartedDuringAPauseWinsAndTheOlderChangesNothing)
{
    const QString older = makeFolder("older");
    for (int i = 0; i < 45; ++i)
        makeFolder(QStringLiteral("older/f%1").arg(i));
    makeImage(older, "old.png");
    const QString newer = makeFolder("newer");
    makeFolder("newer/sub");
    makeImage(newer, "n1.png");
    makeImage(newer, "n2.png");

    whenFillCountIs(browser.get(), 20, [&] { browser->ExplorePath(newer); });
    browser->ExplorePath(older);

    QStringList expectedTags;
    for (const QString &name : namesInOrder(newer))
        if (name == "sub")
            expectedTags.prepend(newer + "/" + name);
        else
            expectedTags << newer + "/" + name;
    EXPECT_EQ(tags(), expectedTags);
    EXPECT_EQ(browser->files(), expectedTags.mid(1));
    EXPECT_EQ(browser->fillCount(), 3);
    EXPECT_EQ(browser->imageList()->Count(), 4);
    EXPECT_EQ(events, QStringList({QString(), QString(), newer + "/sub"}));
    EXPECT_EQ(current(), 1);
    EXPECT_TRUE(browser->stopped());
    EXPECT_TRUE(prompts().messages.isEmpty());
}

TEST_F(ListingTest, ANewerListingStartedFromTheStartEventWins)
{
    const QString first = makeFolder("first");
    makeImage(first, "x.png");
    const QString second = makeFolder("second");
    makeImage(second, "y.png");

    bool redirected = false;
    QObject::connect(browser.get(), &ImageExplore::CurrSelectedImage, [&](const QString &path) {
        if (path.isEmpty() && !redirected) {
            redirected = true;
            browser->ExplorePath(second);
        }
    });
    browser->ExplorePath(first);

    EXPECT_EQ(tags(), QStringList({second + "/y.png"}));
    EXPECT_EQ(events, QStringList({QString(), QString(), second + "/y.png"}));
}

TEST_F(ListingTest, GetImageListDuringAListingLeavesTheFillCounterAlone)
{
    const QString dir = makeFolder("many");
    for (int i = 0; i < 30; ++i)
        makeFolder(QStringLiteral("many/f%1").arg(i));
    const QString other = makeFolder("other");
    makeImage(other, "o.png");

    QStringList found;
    int counterAfter = -1;
    whenFillCountIs(browser.get(), 20, [&] {
        found = browser->GetImageList(other, "*.*");
        counterAfter = browser->fillCount();
    });
    browser->ExplorePath(dir);

    EXPECT_EQ(found, QStringList({other + "/o.png"}));
    EXPECT_EQ(counterAfter, 20);
    EXPECT_EQ(browser->fillCount(), 30);
}

TEST_F(ListingTest, GetImageListGivesTheListingsFilesAndNeverFolders)
{
    const QString dir = makeFolder("photos");
    makeFolder("photos/pics.jpg");
    makeImage(dir, "b.png");
    makeImage(dir, "a.JPG");
    makeImage(dir, "c.tga");
    makeFile(dir, "notes.txt", "x");

    browser->ExplorePath(dir);
    const QStringList listed = browser->files();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(browser->GetImageList(dir, "*.*"), listed);
    EXPECT_EQ(browser->GetImageList(dir + "/", "*.*"), listed);
    EXPECT_EQ(browser->fillCount(), 0);   // outside a listing it resets the counter
    EXPECT_EQ(count(), 4);                // and leaves the list alone

    const QString none = makeFolder("none");
    makeFile(none, "a.txt", "x");
    EXPECT_TRUE(browser->GetImageList(none, "*.*").isEmpty());
    EXPECT_TRUE(browser->GetImageList(root + "/missing", "*.*").isEmpty());
}

// A name that is not valid UTF-8 cannot be spelt back to the file system,
// so no path to it can be opened: neither the listing nor the viewer's
// list offers it.
TEST_F(ListingTest, NamesThatCannotBeSpeltBackAreLeftOutOfBothLists)
{
    const QString dir = makeFolder("latin1");
    makeImage(dir, "a.png");
    const QByteArray raw = QFile::encodeName(dir) + "/caf\xe9.png";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);

    const LoggedWarnings log;
    browser->ExplorePath(dir);
    const QStringList listed = browser->files();
    EXPECT_EQ(listed, QStringList{dir + "/a.png"});
    EXPECT_EQ(browser->GetImageList(dir, "*.*"), listed);
    EXPECT_TRUE(log.has("qmr.browser", "not valid UTF-8"));   // the only trace of it
    ::unlink(raw.constData());   // the temporary folder cannot spell it either
}

TEST_F(ListingTest, ADamagedImageStopsTheListingAfterItsEntry)
{
    const QString dir = makeFolder("ten");
    for (int i = 0; i < 10; ++i)
        makeImage(dir, QStringLiteral("img%1.png").arg(i));
    const QStringList order = namesInOrder(dir);
    makeFile(dir, order[2], "this is not a picture at all");

    browser->ExplorePath(dir);

    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].style & 0x70, 16);
    EXPECT_FALSE(prompts().messages[0].text.isEmpty());
    ASSERT_EQ(count(), 10);
    EXPECT_EQ(text(1), order[0]);
    EXPECT_EQ(text(2), order[1]);
    for (int i = 3; i <= 10; ++i) {
        EXPECT_EQ(icon(i), "A") << i;
        EXPECT_TRUE(text(i).isEmpty()) << i;
        EXPECT_TRUE(tag(i).isEmpty()) << i;
    }
    EXPECT_EQ(browser->files(), QStringList({dir + "/" + order[0], dir + "/" + order[1]}));
    EXPECT_EQ(browser->imageList()->Count(), 4);
    EXPECT_EQ(events, QStringList({QString(), dir + "/" + order[0]}));
    EXPECT_TRUE(browser->stopped());
}

TEST_F(ListingTest, BadImageFilesGiveAMessageAndNeverCrash)
{
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        TestFiles::pattern(200, 150).save(&buffer, "JPG");
    }
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"empty.jpg", QByteArray()},
        {"cut.jpg", jpeg.left(jpeg.size() / 2)},
        {"text.png", QByteArray("hello, I am text")},
        {"huge.png", pngClaiming(200000, 200000)},
        {"wide.png", pngBytes(40000, 1)},
        {"garbage.psd", QByteArray(3000, '\x7f')},
    };
    for (const auto &c : cases) {
        prompts().reset();
        const QString dir = makeFolder(QStringLiteral("bad-%1").arg(c.name));
        makeFile(dir, c.name, c.bytes);
        browser->ExplorePath(dir);
        ASSERT_EQ(prompts().messages.size(), 1) << c.name;
        EXPECT_EQ(prompts().messages[0].style & 0x70, 16) << c.name;
        EXPECT_EQ(count(), 1) << c.name;
        EXPECT_EQ(icon(1), "A") << c.name;
        EXPECT_EQ(browser->imageList()->Count(), 2) << c.name;
        // A side of more than 32,767 pixels does not fit the size test.
        if (QByteArray(c.name) == "wide.png") {
            EXPECT_EQ(prompts().messages[0].text, "Overflow");
        }
    }
}

// Opening a pipe for reading waits for a writer; a listing must never do
// that. A writer that turns up after a while sets the reader free, so a
// fault shows as a failure rather than a hang.
TEST_F(ListingTest, APipeWithAnImageNameIsNeverOpened)
{
    const QString dir = makeFolder("pipe");
    bool made = false;
    const bool readerWasWaiting =
        TestFiles::readerWaitedOnPipe(dir + "/pipe.jpg", [&] { browser->ExplorePath(dir); }, &made);
    ASSERT_TRUE(made);

    EXPECT_FALSE(readerWasWaiting);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(prompts().messages.size(), 1) << "a pipe is no image: the failure message";
}

TEST_F(ListingTest, UnusualNamesAreListedAsTheFileSystemGivesThem)
{
    const QString dir = makeFolder("names");
    const QStringList names = {"my photo.png", "quote\"d 'name'.png", "new\nline.png", QString::fromUtf8("Ärger ü.png"),
                               QString::fromUtf8("日本の写真.png"), "#hash & percent%20.png"};
    for (const QString &name : names)
        makeImage(dir, name);
    makeFolder(QString::fromUtf8("names/Ordner mit ß"));

    browser->ExplorePath(dir);

    EXPECT_TRUE(prompts().messages.isEmpty());
    ASSERT_EQ(count(), names.size() + 1);
    EXPECT_EQ(text(1), QString::fromUtf8("Ordner mit ß"));
    QStringList listed;
    for (int i = 2; i <= count(); ++i) {
        listed << text(i);
        EXPECT_EQ(tag(i), dir + "/" + text(i));
        EXPECT_EQ(browser->imageList()->IndexOf(tag(i)), i + 1);
    }
    EXPECT_EQ(std::set<QString>(listed.begin(), listed.end()), std::set<QString>(names.begin(), names.end()));
}

TEST_F(ListingTest, AnEntryRemovedDuringTheListingLeavesAPlaceholderAtTheEnd)
{
    const QString dir = makeFolder("shrinking");
    for (int i = 0; i < 25; ++i)
        makeFolder(QStringLiteral("shrinking/f%1").arg(i));
    for (const char *name : {"a.png", "b.png", "c.png"})
        makeImage(dir, name);
    QStringList images;
    for (const QString &name : namesInOrder(dir))
        if (name.endsWith(".png"))
            images << dir + "/" + name;

    whenFillCountIs(browser.get(), 0, [&] { QFile::remove(images[1]); });
    browser->ExplorePath(dir);

    EXPECT_TRUE(prompts().messages.isEmpty());
    ASSERT_EQ(count(), 28);
    EXPECT_EQ(browser->files(), QStringList({images[0], images[2]}));
    EXPECT_EQ(tag(27), images[2]);
    EXPECT_EQ(icon(28), "A");
    EXPECT_TRUE(tag(28).isEmpty());
}

TEST_F(ListingTest, AnEntryAddedDuringTheListingEndsItWithTheListsMessage)
{
    const QString dir = makeFolder("growing");
    for (int i = 0; i < 25; ++i)
        makeFolder(QStringLiteral("growing/f%1").arg(i));
    makeImage(dir, "a.png");
    makeImage(dir, "b.png");

    whenFillCountIs(browser.get(), 0, [&] { makeImage(dir, "late.png"); });
    browser->ExplorePath(dir);

    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].text, "Index out of bounds");
    EXPECT_EQ(prompts().messages[0].style & 0x70, 16);
    EXPECT_EQ(count(), 27);
    EXPECT_TRUE(browser->stopped());
}

TEST_F(ListingTest, TheControlGoingAwayDuringAPauseEndsTheListingQuietly)
{
    const QString dir = makeFolder("many");
    for (int i = 0; i < 30; ++i)
        makeFolder(QStringLiteral("many/f%1").arg(i));
    makeImage(dir, "a.png");

    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (browser && browser->fillCount() == 20) {
            closer.stop();
            browser.reset();
        }
    });
    closer.start();
    ImageExplore *listing = browser.get();
    listing->ExplorePath(dir);
    EXPECT_FALSE(browser);
    EXPECT_TRUE(prompts().messages.isEmpty());
}
