#pragma once
// What the viewer window tests share: a main window that records what the
// viewer asks of it, image files in a temporary folder, the stored settings,
// and a viewer that is unloaded after each test.

#include "QtPrinters.h"
#include "ViewerHost.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class frmViwer;

class RecordingHost : public ViewerHost {
public:
    void ShowMainWindow() override { calls << QStringLiteral("ShowMainWindow"); }
    void CheckPath(const QString &path) override { calls << QStringLiteral("CheckPath ") + path; }
    void RefreshImages(const QString &oldPath, const QString &newPath) override
    {
        calls << QStringLiteral("RefreshImages %1 -> %2").arg(oldPath, newPath);
    }
    void EndProgram() override { calls << QStringLiteral("EndProgram"); }
    QStringList calls;
};

class ViewerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A PNG (or the format Qt names) of the given size in the test folder.
    QString image(const QString &name, int width, int height, const char *format = "PNG");
    // The viewer with the stored full-screen setting as given, loaded anew.
    frmViwer *viewer(bool fullScreen = false);
    // Shows files[index] the way the main window hands a list over.
    frmViwer *show(QStringList files, int index = 0, bool fullScreen = false);

    static void storeSetting(const QString &name, const QString &value);
    static QString storedSetting(const QString &name);
    static void forgetSettings();
    static void processEvents();

    QTemporaryDir dir;
    RecordingHost host;
};

// Twips to compare with: one pixel's worth either way.
#define EXPECT_TWIPS(actual, expected, tpp) EXPECT_NEAR(double(actual), double(expected), (tpp))
