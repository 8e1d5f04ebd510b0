#include "frmDialog.h"

#include "ColorButton.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "SkinEngine.h"
#include "SkinLabel.h"
#include "TwipsGeometry.h"
#include "VariantConversion.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QWindow>

namespace {

// Design geometry of element 0 of each row control: left, top, width, height in twips.
struct DesignRect { double left, top, width, height; };
constexpr DesignRect kLabel{180, 480, 1635, 255};
constexpr DesignRect kText{2100, 420, 5265, 315};
constexpr DesignRect kColour{2100, 420, 855, 315};
constexpr DesignRect kCombo{2100, 480, 3015, 315};
constexpr DesignRect kCheck{2085, 480, 2955, 255};
constexpr DesignRect kOption{2085, 480, 5265, 255};

const QColor kStripColour(0xDE, 0xE7, 0xEF);   // &H00EFE7DE

// Clears a flag when the scope ends, however it ends.
class BuildingGuard {
public:
    explicit BuildingGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~BuildingGuard() { m_flag = false; }
private:
    bool &m_flag;
};

// The row's value from its default, converted before any control changes.
QVariant convertedDefault(const QVariant &value, long kind)
{
    switch (kind) {
    case frmDialog::Text: return VariantConversion::toText(value);
    case frmDialog::Colour: return VariantConversion::toColour(value);
    case frmDialog::Check:
    case frmDialog::Option: return VariantConversion::toBoolean(value);
    default: return QVariant();
    }
}

// Row 0 keeps the design tops (the text box and the colour button stand a
// little higher than the label); later rows line up with their label.
void placeRowControl(QWidget *control, const DesignRect &design, int index, double labelTop)
{
    TwipsGeometry::place(control, design.left, index == 0 ? design.top : labelTop, design.width, design.height);
}

template <typename T>
T *hidden(T *control)
{
    control->hide();
    return control;
}

}

frmDialog::frmDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Form1"));
    createDesign();
    Form_Load();
}

void frmDialog::createDesign()
{
    Row design;
    design.label = hidden(new SkinLabel(this));
    design.text = hidden(new QLineEdit(this));
    design.colour = hidden(new ColorButton(this));
    design.combo = hidden(new QComboBox(this));
    design.check = hidden(new QCheckBox(this));
    design.option = hidden(new QRadioButton(this));
    createRowControls(design, 0, -1, kLabel.top);
    m_rows.append(design);

    m_picBottom = new QWidget(this);
    m_picBottom->setAutoFillBackground(true);
    QPalette strip = m_picBottom->palette();
    strip.setColor(QPalette::Window, kStripColour);
    m_picBottom->setPalette(strip);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), m_picBottom);
    TwipsGeometry::place(m_cmdOK, 1770, 225, 1335, 375);
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), m_picBottom);
    TwipsGeometry::place(m_cmdCancel, 4470, 240, 1335, 375);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmDialog::cmdCancel_Click);
    fitHeight();
}

void frmDialog::Form_Load()
{
    SkinEngine &skin = SkinEngine::main();
    skin.ApplySkinByName(this, QStringLiteral("smallform"));
    skin.ApplySkinByName(m_cmdCancel, QStringLiteral("Button"));
    skin.ApplySkinByName(m_cmdOK, QStringLiteral("Button"));
    skin.ApplySkinByName(m_rows[0].label, QStringLiteral("Label"));
}

// Places the row's controls and wires the ones that raise ControlChanged.
// For the design row (kind -1) every control exists; for a later row only
// the label and the control of its kind.
void frmDialog::createRowControls(Row &row, int index, long kind, double labelTop)
{
    const bool design = index == 0;
    if (!row.label)
        row.label = hidden(new SkinLabel(this));
    TwipsGeometry::place(row.label, kLabel.left, labelTop, kLabel.width, kLabel.height);
    if (design || kind == Text) {
        if (!row.text)
            row.text = hidden(new QLineEdit(this));
        placeRowControl(row.text, kText, index, labelTop);
    }
    if (design || kind == Colour) {
        if (!row.colour)
            row.colour = hidden(new ColorButton(this));
        placeRowControl(row.colour, kColour, index, labelTop);
        connect(row.colour, &QPushButton::clicked, this, [this, index] { cmdColor_Click(index); });
    }
    if (design || kind == Combo) {
        if (!row.combo)
            row.combo = hidden(new QComboBox(this));
        placeRowControl(row.combo, kCombo, index, labelTop);
        connect(row.combo, &QComboBox::activated, this, [this, index] {
            if (!mBuilding)
                emit ControlChanged(m_rows[index].combo, index);
        });
    }
    if (design || kind == Check) {
        if (!row.check)
            row.check = hidden(new QCheckBox(this));
        placeRowControl(row.check, kCheck, index, labelTop);
        connect(row.check, &QCheckBox::stateChanged, this, [this, index] {
            if (!mBuilding)
                emit ControlChanged(m_rows[index].check, index);
        });
    }
    if (design || kind == Option) {
        if (!row.option)
            row.option = hidden(new QRadioButton(this));
        placeRowControl(row.option, kOption, index, labelTop);
    }
}

void frmDialog::AddControl(const QString &Caption, const QVariant &Default, long ControlType)
{
    const QVariant value = convertedDefault(Default, ControlType);
    const int n = m_layout.rowCount();
    BuildingGuard building(mBuilding);
    const double labelTop = m_layout.addRow();
    if (n > 0) {
        Row row;
        createRowControls(row, n, ControlType, labelTop);
        m_rows.append(row);
    }
    setRowValue(m_rows[n], Caption, value, ControlType);
    fitHeight();
}

void frmDialog::setRowValue(Row &row, const QString &caption, const QVariant &value, long kind)
{
    if (kind != Check && kind != Option) {
        row.label->setCaption(caption);
        row.label->show();
    }
    switch (kind) {
    case Text:
        row.text->setText(value.toString());
        row.text->show();
        break;
    case Colour:
        row.colour->setBackColor(value.value<QColor>());
        row.colour->show();
        break;
    case Combo:
        row.combo->show();
        break;
    case Check:
        row.check->setCheckState(value.toBool() ? Qt::Checked : Qt::Unchecked);
        row.check->show();
        row.check->setText(caption);
        break;
    case Option:
        row.option->setChecked(value.toBool());
        row.option->show();
        row.option->setText(caption);
        break;
    default:
        break;
    }
}

// The window ends one gap below the last row, with the button strip along
// its bottom edge.
void frmDialog::fitHeight()
{
    const double height = m_layout.clientHeight();
    TwipsGeometry::setFixedClientSize(this, InputDialogLayout::kWidth, height);
    TwipsGeometry::place(m_picBottom, 0, height - InputDialogLayout::kStripHeight, InputDialogLayout::kWidth,
                         InputDialogLayout::kStripHeight);
}

const frmDialog::Row *frmDialog::row(int i) const
{
    return i >= 0 && i < m_rows.size() ? &m_rows[i] : nullptr;
}

SkinLabel *frmDialog::lblLabel(int i) const { return row(i) ? row(i)->label : nullptr; }
QLineEdit *frmDialog::txtText(int i) const { return row(i) ? row(i)->text : nullptr; }
QPushButton *frmDialog::cmdColor(int i) const { return row(i) ? row(i)->colour : nullptr; }
QComboBox *frmDialog::cmbCombo(int i) const { return row(i) ? row(i)->combo : nullptr; }
QCheckBox *frmDialog::chkCheck(int i) const { return row(i) ? row(i)->check : nullptr; }
QRadioButton *frmDialog::optOption(int i) const { return row(i) ? row(i)->option : nullptr; }

int frmDialog::ShowModal(QWidget *owner)
{
    if (owner) {
        QWidget *top = owner->window();
        move(top->frameGeometry().center() - QPoint(width() / 2, height() / 2));
        if (!windowHandle())
            create();
        if (windowHandle() && top->windowHandle())
            windowHandle()->setTransientParent(top->windowHandle());
    }
    return Prompts::ExecModal(this);
}

void frmDialog::cmdOK_Click() { done(QDialog::Accepted); }

void frmDialog::cmdCancel_Click()
{
    Cancelled = true;
    done(QDialog::Rejected);
}

void frmDialog::reject() { cmdCancel_Click(); }

void frmDialog::closeEvent(QCloseEvent *event)
{
    Cancelled = true;
    done(QDialog::Rejected);
    event->ignore();
}

void frmDialog::cmdColor_Click(int Index)
{
    ColorButton *button = m_rows[Index].colour;
    const std::optional<QColor> chosen = Prompts::ChooseColor(button->BackColor());
    if (!chosen)
        return;   // cancelled: the button keeps its colour
    button->setBackColor(QColor(chosen->rgb()));
    if (!mBuilding)
        emit ControlChanged(button, Index);
}

void frmDialog::SkinForm(QWidget *frm)
{
    SkinEngine &skin = SkinEngine::main();
    for (QWidget *control : frm->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(control))
            skin.ApplySkinByName(control, QStringLiteral("Button"));
        else if (qobject_cast<SkinLabel *>(control))
            skin.ApplySkinByName(control, QStringLiteral("label"));
        else if (qobject_cast<QCheckBox *>(control))
            skin.ApplySkinByName(control, QStringLiteral("CheckBox"));
        else if (qobject_cast<QRadioButton *>(control))
            skin.ApplySkinByName(control, QStringLiteral("Radio"));
        else if (qobject_cast<QStatusBar *>(control))
            skin.ApplySkinByName(control, QStringLiteral("Statusbar"));
    }
}
