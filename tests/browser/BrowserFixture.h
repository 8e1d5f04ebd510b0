#pragma once
// A thumbnail browser in a window of its own over a fresh temporary
// folder, with every CurrSelectedImage event recorded.

#include "ImageExplore.h"
#include "QtPrinters.h"
#include "ScriptedPrompts.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class BrowserFixture : public ::testing::Test {
protected:
    static const QString BrowserExtList;

    void SetUp() override;
    void TearDown() override;

    // A folder under the temporary root (made when missing), no trailing "/".
    QString makeFolder(const QString &relative);
    // A PNG image of the given size (the content decides the format, so
    // any extension works).
    QString makeImage(const QString &folder, const QString &name, int width = 40, int height = 30);
    QString makeFile(const QString &folder, const QString &name, const QByteArray &bytes);
    // The names of the folder in the order the folder search gives them.
    static QStringList namesInOrder(const QString &folder);
    // Shows the browser and gives it the keyboard focus, for keys.
    void showAndFocus();
    // Lets queued input and other pending events run.
    static void settle();

    // Item access, 1-based.
    int count() const;
    QString text(int i) const;
    QString tag(int i) const;
    QString icon(int i) const;
    bool selected(int i) const;
    int current() const;
    QStringList tags() const;

    ScriptedPrompts &prompts() { return ScriptedPrompts::instance(); }

    QTemporaryDir tmp;
    QString root;
    std::unique_ptr<ImageExplore> browser;
    QStringList events;
};
