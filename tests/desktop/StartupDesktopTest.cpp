// The start-up's questions and messages on the real desktop, where the
// splash stays on top of every window: each is shown only once the splash
// has gone from the screen, so none is covered while it has the keys.

#include "AssociationPolicy.h"
#include "Desktop.h"
#include "ModAssoc.h"
#include "Registry.h"
#include "TestFiles.h"
#include "frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QSplashScreen>
#include <gtest/gtest.h>

namespace {

// How the X server has the splash: "IsViewable" while it is on screen.
QString splashMapState()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<QSplashScreen *>(window)) {
            const QString info = Desktop::tool("xwininfo", {"-id", QString::number(window->winId())});
            return info.section("Map State:", 1).section('\n', 0, 0).trimmed();
        }
    return "no splash";
}

// Answers the box with the key once it has noted what covered it.
std::function<void(QWidget *)> answer(QStringList *seen, const QString &key)
{
    return [seen, key](QWidget *box) {
        QString text;
        for (const QLabel *label : box->findChildren<QLabel *>())
            text += label->text();
        *seen << text.left(40) + " / splash " + splashMapState();
        Desktop::keys({key});
    };
}

}

TEST(StartupDesktopTest, TheSplashIsGoneBeforeAnyStartupMessageOrQuestion)
{
    QStringList seen;
    Desktop::ModalScript modals;
    const auto startAnswering = [&](const QString &key) {
        modals.then(answer(&seen, key));
        frmMain window;
        EXPECT_TRUE(window.Form_Load({}));
    };
    // A damaged store: the start-up says it was reset (OK), then, as on a
    // first run, associates without a question.
    const QString store = Registry::databasePath();
    Registry::setDatabasePath(QString());
    ASSERT_TRUE(TestFiles::writeBytes(store, QByteArray(4096, 'x')));
    startAnswering("Return");
    // After an undo the start asks whether to associate again; Escape is No.
    AssociationPolicy::DeAssociateAll();
    startAnswering("Escape");
    EXPECT_EQ(ModAssoc::IsAssociated(".jpg", "Quillmere.jpg"), 0) << "the answer was No";
    ASSERT_EQ(seen.size(), 2) << seen.join(" | ").toStdString();
    EXPECT_TRUE(seen[0].startsWith("The settings could not be read")) << seen[0].toStdString();
    EXPECT_TRUE(seen[1].startsWith("The following image types")) << seen[1].toStdString();
    for (const QString &box : seen)
        EXPECT_TRUE(box.endsWith("splash IsUnMapped")) << box.toStdString();
    EXPECT_TRUE(modals.unexpected.isEmpty()) << modals.unexpected.join(" | ").toStdString();
}
