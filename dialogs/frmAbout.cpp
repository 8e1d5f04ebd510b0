#include "frmAbout.h"

#include "Prompts.h"
#include "SkinEngine.h"
#include "SkinLabel.h"
#include "SystemInfoTool.h"
#include "TwipsGeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStyle>

namespace {
QPointer<frmAbout> g_instance;
const QString kDescription = QStringLiteral(
    "Use Quillmere  to easily navigate your favorite images in your computer, Slide show in full screen, "
    "Save to alot of image formats, Encryption, transformations,  and more...");

// A caption wider than the design's button (a larger font, a skin with
// more padding) widens the button leftwards, keeping its right edge.
void growToFitCaption(QPushButton *button)
{
    button->ensurePolished();
    const int wanted = button->sizeHint().width();
    if (wanted > button->width())
        button->setGeometry(button->geometry().right() + 1 - wanted, button->y(), wanted, button->height());
}
}

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Quillmere"));
    TwipsGeometry::setFixedClientSize(this, 5760, 4680);
    createDecoration();
    createControls();
    Form_Load();
}

void frmAbout::createDecoration()
{
    // A band of colour down the left edge, with the program's picture on it.
    m_asxBars1 = new QWidget(this);
    m_asxBars1->setObjectName(QStringLiteral("asxBars1"));
    m_asxBars1->setStyleSheet(QStringLiteral(
        "#asxBars1 { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2f5f8f, stop:1 #9fbfdf); }"));
    TwipsGeometry::place(m_asxBars1, 0, 0, 1140, 4680);
    m_picIcon = new QLabel(this);
    TwipsGeometry::place(m_picIcon, 210, 210, 720, 720);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    const QPixmap picture = icon.pixmap(m_picIcon->size());
    m_picIcon->setPixmap(picture.scaled(m_picIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_picIcon->setAlignment(Qt::AlignCenter);
}

void frmAbout::createControls()
{
    m_skinLabel1 = new SkinLabel(this);
    m_skinLabel1->setCaption(QStringLiteral("Quillmere"));
    QFont title = m_skinLabel1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.3);
    m_skinLabel1->setFont(title);
    TwipsGeometry::place(m_skinLabel1, 1425, 135, 3015, 315);
    m_skinLabel2 = new SkinLabel(this);
    m_skinLabel2->setCaption(QStringLiteral("Version 1.6.0.2"));
    TwipsGeometry::place(m_skinLabel2, 1395, 495, 2985, 285);
    m_skinLabel3 = new SkinLabel(this);
    m_skinLabel3->setCaption(kDescription);
    m_skinLabel3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TwipsGeometry::place(m_skinLabel3, 1335, 930, 3555, 870 * 2);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    TwipsGeometry::place(m_cmdOK, 3990, 3480, 1260, 465);
    m_cmdOK->setDefault(true);
    m_cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    TwipsGeometry::place(m_cmdSysInfo, 4020, 4065, 1245, 480);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load()
{
    SkinEngine &skin = SkinEngine::main();
    skin.ApplySkinByName(this, QStringLiteral("smallform"));
    skin.ApplySkinByName(m_cmdSysInfo, QStringLiteral("Button"));
    skin.ApplySkinByName(m_cmdOK, QStringLiteral("Button"));
    for (SkinLabel *label : {m_skinLabel1, m_skinLabel2, m_skinLabel3})
        skin.ApplySkinByName(label, QStringLiteral("Label"));
    for (QPushButton *button : {m_cmdOK, m_cmdSysInfo})
        growToFitCaption(button);
}

void frmAbout::ShowModeless(QWidget *owner)
{
    if (!g_instance)
        g_instance = new frmAbout(owner ? owner->window() : nullptr);
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
}

frmAbout *frmAbout::instanceIfLoaded() { return g_instance.data(); }

void frmAbout::StartSysInfo()
{
    const QString program = SystemInfoTool::programPath();
    if (!program.isEmpty() && QProcess::startDetached(program, QStringList()))
        return;
    Prompts::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), Prompts::OKOnly);
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::reject() { close(); }

// Closing unloads the box (it deletes itself); the next showing loads a new one.
void frmAbout::closeEvent(QCloseEvent *event) { event->accept(); }
