// The input dialog built at run time, and the conversion of its defaults.

#include "frmDialog.h"

#include "ColorButton.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "SkinLabel.h"
#include "VariantConversion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// One pixel of rounding either way.
constexpr double kTwipsTolerance = 16;

double innerHeightTwips(const QWidget *w) { return w->height() * ScreenMetrics::twipsPerPixelY(); }
double topTwips(const QWidget *w) { return w->y() * ScreenMetrics::twipsPerPixelY(); }

struct ChangeLog {
    QList<QPair<QObject *, long>> events;
    explicit ChangeLog(frmDialog &dialog)
    {
        QObject::connect(&dialog, &frmDialog::ControlChanged, [this](QObject *c, long i) { events.append({c, i}); });
    }
};

QColor colourOf(QPushButton *button) { return static_cast<ColorButton *>(button)->BackColor(); }

class FrmDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptedPrompts::instance().reset(); }
};

TEST_F(FrmDialogTest, OneEmptyTextRowFitsAboveTheButtonStrip)
{
    frmDialog dialog;
    dialog.AddControl("Encryption Key:", QString(), frmDialog::Text);
    EXPECT_EQ(dialog.lblLabel(0)->Caption(), "Encryption Key:");
    EXPECT_FALSE(dialog.lblLabel(0)->isHidden());
    EXPECT_FALSE(dialog.txtText(0)->isHidden());
    EXPECT_EQ(dialog.txtText(0)->text(), QString());
    EXPECT_TRUE(dialog.cmdColor(0)->isHidden());
    EXPECT_TRUE(dialog.chkCheck(0)->isHidden());
    EXPECT_NEAR(innerHeightTwips(&dialog), 1660, kTwipsTolerance);
    EXPECT_EQ(dialog.picBottom()->geometry().bottom(), dialog.height() - 1);
    EXPECT_EQ(dialog.txtText(1), nullptr);
}

TEST_F(FrmDialogTest, RowsStack445TwipsApartAndTheWindowGrows)
{
    frmDialog dialog;
    dialog.AddControl("Name", "x", frmDialog::Text);
    dialog.AddControl("Colour", 0, frmDialog::Colour);
    dialog.AddControl("Kind", QVariant(), frmDialog::Combo);
    EXPECT_NEAR(topTwips(dialog.lblLabel(1)), 480 + 445, kTwipsTolerance);
    EXPECT_NEAR(topTwips(dialog.lblLabel(2)), 480 + 890, kTwipsTolerance);
    // Row 0 keeps its design (the text box above the label); later rows line up.
    EXPECT_NEAR(topTwips(dialog.txtText(0)), 420, kTwipsTolerance);
    EXPECT_NEAR(topTwips(dialog.cmdColor(1)), topTwips(dialog.lblLabel(1)), 1);
    EXPECT_NEAR(topTwips(dialog.cmbCombo(2)), topTwips(dialog.lblLabel(2)), 1);
    EXPECT_NEAR(innerHeightTwips(&dialog), 1660 + 890, kTwipsTolerance);
    EXPECT_EQ(dialog.picBottom()->geometry().bottom(), dialog.height() - 1);
    EXPECT_EQ(dialog.cmbCombo(2)->count(), 0);
    EXPECT_EQ(dialog.txtText(1), nullptr);   // a colour row has no text box
}

TEST_F(FrmDialogTest, CheckAndOptionRowsCarryTheirOwnCaption)
{
    frmDialog dialog;
    dialog.AddControl("Keep copy", true, frmDialog::Check);
    dialog.AddControl("Large", "True", frmDialog::Option);
    EXPECT_TRUE(dialog.lblLabel(0)->isHidden());
    EXPECT_TRUE(dialog.lblLabel(1)->isHidden());
    EXPECT_EQ(dialog.chkCheck(0)->text(), "Keep copy");
    EXPECT_EQ(dialog.chkCheck(0)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog.optOption(1)->text(), "Large");
    EXPECT_TRUE(dialog.optOption(1)->isChecked());
}

TEST_F(FrmDialogTest, OtherKindsAddALabelOnlyRow)
{
    frmDialog dialog;
    dialog.AddControl("Note", "ignored", 5);
    dialog.AddControl("Minus", "ignored", -1);
    dialog.AddControl("Name", "n", frmDialog::Text);
    EXPECT_EQ(dialog.rowCount(), 3);
    EXPECT_EQ(dialog.lblLabel(1)->Caption(), "Minus");
    EXPECT_FALSE(dialog.lblLabel(1)->isHidden());
    EXPECT_TRUE(dialog.txtText(0)->isHidden());
    EXPECT_EQ(dialog.txtText(1), nullptr);
    EXPECT_EQ(dialog.txtText(2)->text(), "n");
}

TEST_F(FrmDialogTest, ChangeEventsComeFromTheUserNotFromBuilding)
{
    frmDialog dialog;
    ChangeLog log(dialog);
    dialog.AddControl("Name", "typed", frmDialog::Text);
    dialog.AddControl("Ticked", true, frmDialog::Check);
    dialog.AddControl("Pick", QVariant(), frmDialog::Combo);
    dialog.AddControl("Opt", false, frmDialog::Option);
    EXPECT_TRUE(log.events.isEmpty());

    dialog.chkCheck(1)->click();
    dialog.txtText(0)->setText("edited");
    dialog.optOption(3)->click();
    dialog.cmbCombo(2)->addItem("one");
    emit dialog.cmbCombo(2)->activated(0);
    ASSERT_EQ(log.events.size(), 2);
    EXPECT_EQ(log.events[0].first, dialog.chkCheck(1));
    EXPECT_EQ(log.events[0].second, 1);
    EXPECT_EQ(log.events[1].first, dialog.cmbCombo(2));
    EXPECT_EQ(log.events[1].second, 2);
}

TEST_F(FrmDialogTest, ABadDefaultThrowsAndLeavesNoHalfBuiltRow)
{
    frmDialog dialog;
    ChangeLog log(dialog);
    dialog.AddControl("Name", "a", frmDialog::Text);
    const int children = dialog.findChildren<QWidget *>().size();
    const int height = dialog.height();
    EXPECT_THROW(dialog.AddControl("Colour", "not a colour", frmDialog::Colour), std::invalid_argument);
    EXPECT_THROW(dialog.AddControl("Check", "maybe", frmDialog::Check), std::invalid_argument);
    EXPECT_THROW(dialog.AddControl("Text", QVariant(QVariantMap{{"a", 1}}), frmDialog::Text), std::invalid_argument);
    EXPECT_EQ(dialog.rowCount(), 1);
    EXPECT_EQ(dialog.findChildren<QWidget *>().size(), children);
    EXPECT_EQ(dialog.height(), height);
    // The dialog goes on normally: the next row takes the next index and raises its events.
    dialog.AddControl("Check", 1, frmDialog::Check);
    dialog.chkCheck(1)->click();
    ASSERT_EQ(log.events.size(), 1);
    EXPECT_EQ(log.events[0].second, 1);
}

TEST_F(FrmDialogTest, OkCancelEscapeAndTheCloseBox)
{
    auto show = [](std::function<void(frmDialog *)> act) {
        auto dialog = std::make_unique<frmDialog>();
        dialog->AddControl("Key:", "", frmDialog::Text);
        ScriptedPrompts::instance().answerDialog([act](QDialog *d) {
            auto *form = qobject_cast<frmDialog *>(d);
            form->txtText(0)->setText("secret ");
            act(form);
            return d->result();
        });
        QWidget owner;
        dialog->ShowModal(&owner);
        return dialog;
    };
    auto ok = show([](frmDialog *f) { f->cmdOK()->click(); });
    EXPECT_FALSE(ok->Cancelled);
    EXPECT_EQ(ok->txtText(0)->text(), "secret ");
    EXPECT_TRUE(show([](frmDialog *f) { f->cmdCancel()->click(); })->Cancelled);
    EXPECT_TRUE(show([](frmDialog *f) { f->reject(); })->Cancelled);

    auto closed = show([](frmDialog *f) { f->close(); });
    EXPECT_TRUE(closed->Cancelled);
    EXPECT_TRUE(closed->isHidden());
    EXPECT_EQ(closed->txtText(0)->text(), "secret ");   // still there for the caller to read
}

TEST_F(FrmDialogTest, ColourButtonAsksAndCancellingKeepsTheColour)
{
    frmDialog dialog;
    ChangeLog log(dialog);
    dialog.AddControl("Back", 0x0000FF, frmDialog::Colour);   // &H00BBGGRR: red
    EXPECT_EQ(colourOf(dialog.cmdColor(0)), QColor(255, 0, 0));

    dialog.cmdColor(0)->click();   // the colour dialog is cancelled
    ASSERT_EQ(ScriptedPrompts::instance().colorDialogs.size(), 1);
    EXPECT_EQ(ScriptedPrompts::instance().colorDialogs[0], QColor(255, 0, 0));
    EXPECT_EQ(colourOf(dialog.cmdColor(0)), QColor(255, 0, 0));
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());

    ScriptedPrompts::instance().answerColor(QColor(0, 0, 255));
    dialog.cmdColor(0)->click();
    EXPECT_EQ(colourOf(dialog.cmdColor(0)), QColor(0, 0, 255));
    ASSERT_EQ(log.events.size(), 1);
    EXPECT_EQ(log.events[0].first, dialog.cmdColor(0));
    EXPECT_EQ(log.events[0].second, 0);
}

TEST(VariantConversion, TextOfEveryKindOfDefault)
{
    EXPECT_EQ(VariantConversion::toText(QVariant()), QString());
    EXPECT_EQ(VariantConversion::toText(true), "True");
    EXPECT_EQ(VariantConversion::toText(42), "42");
    EXPECT_EQ(VariantConversion::toText(" a "), " a ");
}

TEST(VariantConversion, ColoursFromNumbersAndText)
{
    EXPECT_EQ(VariantConversion::toColour(0x00FF8040), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(VariantConversion::toColour("&HFF"), QColor(255, 0, 0));
    EXPECT_EQ(VariantConversion::toColour("65280"), QColor(0, 255, 0));
    EXPECT_EQ(VariantConversion::toColour(QColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_THROW(VariantConversion::toColour(-1), std::invalid_argument);
    EXPECT_THROW(VariantConversion::toColour(0x1000000), std::invalid_argument);
    EXPECT_THROW(VariantConversion::toColour("red"), std::invalid_argument);
}

TEST(VariantConversion, BooleansAsTheCallerWritesThem)
{
    EXPECT_TRUE(VariantConversion::toBoolean("true"));
    EXPECT_FALSE(VariantConversion::toBoolean(" False "));
    EXPECT_TRUE(VariantConversion::toBoolean(-1));
    EXPECT_FALSE(VariantConversion::toBoolean("0"));
    EXPECT_FALSE(VariantConversion::toBoolean(QVariant()));
    EXPECT_THROW(VariantConversion::toBoolean("yes"), std::invalid_argument);
}

}
