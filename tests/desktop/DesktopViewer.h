#pragma once
// What the viewer's desktop tests share: image files in a temporary folder,
// a main window that does nothing, the dialogs' answers, and the viewer shown for a list of files
// and framed by the window manager.

#include "Desktop.h"
#include "ViewerHost.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class frmViwer;

class DesktopViewer : public ::testing::Test, public ViewerHost {
protected:
    void SetUp() override;
    void TearDown() override;

    QString image(const QString &name, int width, int height, const char *format = "PNG");
    // The viewer showing files[0], windowed, once the window manager has framed it.
    frmViwer *show(QStringList files);

    void ShowMainWindow() override {}
    void CheckPath(const QString &) override {}
    void RefreshImages(const QString &, const QString &) override {}
    void EndProgram() override {}

    QTemporaryDir dir;
    // Answers the dialogs a test expects; any other one fails the test.
    Desktop::ModalScript modals;
};
