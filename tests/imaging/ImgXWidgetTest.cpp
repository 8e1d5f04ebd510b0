// The ImgX control on the offscreen platform: placement, zoom, scroll
// modes and the events it raises.

#include "ImagingSamples.h"
#include "ImgX.h"
#include "VirtualKeys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QImage twoColours(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

QImage shot(ImgX &view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Drops reach the widget that accepted the drag's entry.
void sendDrop(ImgX &view, const QMimeData &data)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &drop);
}

void sendKey(ImgX &view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&view, &press);
}

bool visibleBar(ImgX &view, Qt::Orientation orientation)
{
    for (QScrollBar *bar : view.findChildren<QScrollBar *>()) {
        if (bar->orientation() == orientation && bar->isVisibleTo(&view))
            return true;
    }
    return false;
}

}

TEST(ImgXWidget, ShowsTheImageCentredWithoutScrollBars)
{
    ImgX view;
    view.resize(200, 150);
    view.setBackColor(QColor(10, 20, 30));
    view.Loader.LoadFromPicture(twoColours(20, 10));
    EXPECT_EQ(view.ScrollMode(), 3);
    const QImage image = shot(view);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(10, 20, 30));
    EXPECT_EQ(image.pixelColor(91, 71), QColor(Qt::red));    // image spans 90..109, 70..79
    EXPECT_EQ(image.pixelColor(108, 78), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(110, 75), QColor(10, 20, 30));

    // Zoomed far past the window, modes 0 and 3 still centre with no bars.
    view.setZoom(30);
    EXPECT_FALSE(visibleBar(view, Qt::Horizontal));
    EXPECT_EQ(view.ScrollX(), 0);
    const QImage zoomed = shot(view);
    // 600 pixels wide, centred: the colours meet at x = 100 (smoothed
    // between the pixel centres at 85 and 115).
    EXPECT_EQ(zoomed.pixelColor(80, 75), QColor(Qt::red));
    EXPECT_EQ(zoomed.pixelColor(120, 75), QColor(Qt::blue));
    EXPECT_NE(zoomed.pixelColor(100, 75), QColor(Qt::red));
    view.setScrollMode(0);
    EXPECT_FALSE(visibleBar(view, Qt::Vertical));
}

TEST(ImgXWidget, NearestPixelsWithoutAntiAliasing)
{
    ImgX view;
    view.resize(100, 100);
    view.setAntiAliasDisplay(false);
    view.Loader.LoadFromPicture(twoColours(2, 1));
    view.setZoom(10);   // 20 x 10 at 40..59, 45..54
    const QImage image = shot(view);
    EXPECT_EQ(image.pixelColor(40, 45), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(49, 54), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(50, 45), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(59, 54), QColor(Qt::blue));
}

TEST(ImgXWidget, ScrollModeTwoMovesTheImage)
{
    ImgX view;
    view.resize(200, 150);
    view.setScrollMode(2);
    QImage picture(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 2, 0));
    view.Loader.LoadFromPicture(picture);
    EXPECT_FALSE(visibleBar(view, Qt::Horizontal));   // fits at 100 %

    view.setAntiAliasDisplay(false);
    view.setZoom(10);   // 1000 x 1000
    EXPECT_TRUE(visibleBar(view, Qt::Horizontal));
    EXPECT_TRUE(visibleBar(view, Qt::Vertical));
    view.setScrollX(300);
    view.setScrollY(420);
    EXPECT_EQ(view.ScrollX(), 300);
    EXPECT_EQ(view.ScrollY(), 420);
    QImage image = shot(view);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(60, 84, 0));    // source pixel (30, 42)
    EXPECT_EQ(image.pixelColor(15, 25), QColor(62, 88, 0));  // (31, 44)

    // Out-of-range positions stop at the ends.
    view.setScrollX(100000);
    view.setScrollY(-50);
    EXPECT_GT(view.ScrollX(), 700);
    EXPECT_LT(view.ScrollX(), 1000);
    EXPECT_EQ(view.ScrollY(), 0);
    image = shot(view);
    const int right = view.width() - 1 - view.findChildren<QScrollBar *>().first()->height();
    EXPECT_EQ(image.pixelColor(right - 5, 0).red(), 198);   // the source's last column
    EXPECT_EQ(image.pixelColor(right - 15, 0).red(), 196);

    // Arrow keys are the viewer's: the control does not scroll itself.
    const int before = view.ScrollX();
    sendKey(view, Qt::Key_Left);
    sendKey(view, Qt::Key_Down);
    EXPECT_EQ(view.ScrollX(), before);
    EXPECT_EQ(view.ScrollY(), 0);
}

TEST(ImgXWidget, ViewChangedFollowsImageAndZoom)
{
    ImgX view;
    int changes = 0;
    QObject::connect(&view, &ImgX::ViewChanged, [&changes] { ++changes; });
    view.Loader.LoadFromPicture(twoColours(10, 10));
    EXPECT_EQ(changes, 1);
    view.setZoom(2.5);
    EXPECT_EQ(changes, 2);
    EXPECT_DOUBLE_EQ(view.Zoom(), 2.5);
    view.Transform.Rotate(90);
    EXPECT_EQ(changes, 3);
    view.Pages.Clear();
    EXPECT_EQ(changes, 4);
    view.setZoom(0);   // refused
    EXPECT_DOUBLE_EQ(view.Zoom(), 2.5);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(&view.document().Loader, &view.Loader);
    EXPECT_EQ(view.ControlObject(), &view);
}

TEST(ImgXWidget, KeysMouseAndDrops)
{
    ImgX view;
    view.resize(100, 100);
    EXPECT_EQ(view.focusPolicy(), Qt::StrongFocus);
    QList<std::pair<int, int>> keys;
    QObject::connect(&view, &ImgX::KeyDown, [&keys](int key, int shift) { keys.append({key, shift}); });
    sendKey(view, Qt::Key_Right, Qt::ShiftModifier);
    sendKey(view, Qt::Key_A, Qt::ControlModifier);
    sendKey(view, Qt::Key_Tab);
    sendKey(view, Qt::Key_Escape, Qt::AltModifier);
    const QList<std::pair<int, int>> expected = {{VirtualKeys::Right, 1}, {'A', 2}, {VirtualKeys::Tab, 0},
                                                 {VirtualKeys::Escape, 4}};
    EXPECT_EQ(keys, expected);

    QList<std::tuple<int, int, float, float>> ups;
    QObject::connect(&view, &ImgX::MouseUp,
                     [&ups](int button, int shift, float x, float y) { ups.append({button, shift, x, y}); });
    int doubleClicks = 0;
    QObject::connect(&view, &ImgX::DblClick, [&doubleClicks] { ++doubleClicks; });
    for (auto [button, code] : {std::pair{Qt::LeftButton, 1}, std::pair{Qt::RightButton, 2}, std::pair{Qt::MiddleButton, 4}}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(12, 34), QPointF(12, 34), button, Qt::NoButton,
                            Qt::ShiftModifier);
        QApplication::sendEvent(&view, &release);
        ASSERT_FALSE(ups.isEmpty());
        EXPECT_EQ(ups.last(), std::make_tuple(code, 1, 12.0f, 34.0f));
    }
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &twice);
    EXPECT_EQ(doubleClicks, 1);

    QList<std::pair<QStringList, bool>> drops;
    QObject::connect(&view, &ImgX::OLEDragDrop,
                     [&drops](const QStringList &files, bool hasList) { drops.append({files, hasList}); });
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.jpg")), QUrl::fromLocalFile(QStringLiteral("/tmp/b c.png"))});
    sendDrop(view, files);
    EXPECT_TRUE(drops.isEmpty());   // drop mode 0

    view.setOLEDropMode(1);
    EXPECT_TRUE(view.acceptDrops());
    sendDrop(view, files);
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(drops[0].first, (QStringList{"/tmp/a.jpg", "/tmp/b c.png"}));
    EXPECT_TRUE(drops[0].second);
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    sendDrop(view, text);
    ASSERT_EQ(drops.size(), 2);
    EXPECT_TRUE(drops[1].first.isEmpty());
    EXPECT_FALSE(drops[1].second);
}

TEST(ImgXWidget, HugeZoomPaintsOnlyWhatShows)
{
    // 24 megapixels at 1600 %: a paint costs the window, not the image.
    QImage picture(6000, 4000, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ImgX view;
    view.resize(400, 300);
    view.setScrollMode(2);
    view.Loader.LoadFromPicture(picture);
    view.setZoom(16);
    view.setScrollX(48000);
    view.setScrollY(32000);
    shot(view);   // warm-up: the one-time format check
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 5; ++i) {
        view.setScrollX(view.ScrollX() + 37);
        const QImage image = shot(view);
        ASSERT_EQ(image.pixelColor(100, 100), QColor(Qt::darkGreen));
    }
    EXPECT_LT(timer.elapsed(), 1000);
}
