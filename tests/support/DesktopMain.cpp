// Desktop test programs start here: a QApplication on the X11 platform of
// the desktop that tests/support/desktop-session.sh set up, with the
// program's folders moved to a fresh temporary folder as in every test, but
// with no scripted answers: message boxes and dialogs are Qt's own, and the
// file dialog is Qt's widget dialog, which a test can drive with real input.

#include "TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    TestHome home;
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
