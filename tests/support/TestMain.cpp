// Every test program starts here: a QApplication on the offscreen platform
// (unless the environment names another), and every folder the program
// keeps things in moved to a fresh temporary folder.

#include "ScriptedPrompts.h"
#include "TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestHome home;
    QApplication app(argc, argv);
    ScriptedPrompts prompts;   // answers every message box and dialog
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
