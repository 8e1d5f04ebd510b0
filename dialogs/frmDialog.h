#pragma once
// A general input dialog that its caller builds one row at a time: a label
// with a text box, a colour button or a combo box, or a check box or option
// button carrying its own caption. The window's height follows the rows.
// The caller shows it modally, reads Cancelled and the row controls, then
// deletes it; a new dialog is made for every use.

#include "InputDialogLayout.h"

#include <QDialog>
#include <QVariant>
#include <QVector>

class ColorButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class SkinLabel;

class frmDialog : public QDialog {
    Q_OBJECT
public:
    enum ControlKind : long { Text = 0, Colour = 1, Combo = 2, Check = 3, Option = 4 };

    explicit frmDialog(QWidget *parent = nullptr);

    // True once the user pressed Cancel or closed the window; never reset.
    bool Cancelled = false;

    // Adds one row. A Default that cannot be converted to the row's value
    // throws std::invalid_argument and adds nothing.
    void AddControl(const QString &Caption, const QVariant &Default, long ControlType);

    // The row controls; nullptr where row i has none. Element 0 of each
    // kind always exists (hidden unless row 0 is of that kind).
    SkinLabel *lblLabel(int i) const;
    QLineEdit *txtText(int i) const;
    QPushButton *cmdColor(int i) const;
    QComboBox *cmbCombo(int i) const;
    QCheckBox *chkCheck(int i) const;
    QRadioButton *optOption(int i) const;
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }
    QWidget *picBottom() const { return m_picBottom; }
    int rowCount() const { return m_layout.rowCount(); }

    // Shows the dialog modally over its owner; returns the dialog's result code.
    int ShowModal(QWidget *owner);

    // Skins every button, skinned label, check box, option button and
    // status bar of a form by its kind.
    static void SkinForm(QWidget *frm);

    // Esc: the same as Cancel.
    void reject() override;

Q_SIGNALS:
    // The user changed a check box, a combo box or a colour button of row Index.
    void ControlChanged(QObject *ctrl, long Index);

protected:
    // The close box cancels and hides; the dialog stays for its caller to read.
    void closeEvent(QCloseEvent *event) override;

private:
    struct Row {
        SkinLabel *label = nullptr;
        QLineEdit *text = nullptr;
        ColorButton *colour = nullptr;
        QComboBox *combo = nullptr;
        QCheckBox *check = nullptr;
        QRadioButton *option = nullptr;
    };

    void createDesign();
    void Form_Load();
    void createRowControls(Row &row, int index, long kind, double labelTop);
    void setRowValue(Row &row, const QString &caption, const QVariant &value, long kind);
    void fitHeight();
    const Row *row(int i) const;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdColor_Click(int Index);

    bool mBuilding = false;
    InputDialogLayout m_layout;
    QVector<Row> m_rows;        // element 0 comes from the design
    QWidget *m_picBottom = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
