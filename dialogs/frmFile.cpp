#include "frmFile.h"

#include "FileSystemObject.h"
#include "FolderTree.h"
#include "Prompts.h"
#include "SkinEngine.h"
#include "TwipsGeometry.h"
#include "modMain.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
frmFile *g_instance = nullptr;
constexpr long kCopyTo = 1;
constexpr long kMoveTo = 4;
constexpr int kDesktop = 0;
}

frmFile::frmFile()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Caption will be set at run time!!"));
    createControls();
    Form_Load();
}

void frmFile::createControls()
{
    TwipsGeometry::setFixedClientSize(this, 7710, 5940);
    m_label1 = new QLabel(QStringLiteral("Source"), this);
    TwipsGeometry::place(m_label1, 165, 30, 7380, 225);
    m_txtSource = new QLineEdit(this);
    TwipsGeometry::place(m_txtSource, 165, 255, 7380, 315);
    m_label2 = new QLabel(QStringLiteral("Destination"), this);
    TwipsGeometry::place(m_label2, 165, 600, 7380, 240);
    m_txtDestination = new QLineEdit(this);
    TwipsGeometry::place(m_txtDestination, 165, 855, 7380, 345);
    m_folderTree = new FolderTree(this);
    TwipsGeometry::place(m_folderTree, 165, 1275, 7380, 3915);
    m_cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
    TwipsGeometry::place(m_cmdOK, 4125, 5385, 1515, 465);
    m_cmdCancel = new QPushButton(QStringLiteral(" &Cancel"), this);
    TwipsGeometry::place(m_cmdCancel, 5910, 5385, 1620, 465);
    m_cmdOK->setDefault(true);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmFile::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmFile::cmdCancel_Click);
    connect(m_folderTree, &FolderTree::FolderChanged, this, &frmFile::FolderTree_FolderChanged);
    connect(m_folderTree, &FolderTree::DesktopSelected, this, &frmFile::FolderTree_DesktopSelected);
}

void frmFile::Form_Load()
{
    SkinEngine &skin = SkinEngine::main();
    skin.ApplySkinByName(this, QStringLiteral("smallform"));
    skin.ApplySkinByName(m_cmdCancel, QStringLiteral("Button"));
    skin.ApplySkinByName(m_cmdOK, QStringLiteral("Button"));
}

QString frmFile::ShowFileForm(long opType, const QString &sSource)
{
    if (!g_instance)
        g_instance = new frmFile;
    const QString result = g_instance->run(opType, sSource);
    // Closed with the close box: the window is discarded, and the next run
    // starts from a fresh one.
    if (g_instance && g_instance->mClosedByUser)
        Unload();
    return result;
}

QString frmFile::run(long opType, const QString &sSource)
{
    mCancelled = false;
    mClosedByUser = false;
    if (opType == kCopyTo)
        setWindowTitle(QStringLiteral("Copy To"));
    else if (opType == kMoveTo)
        setWindowTitle(QStringLiteral("Move To"));
    m_txtSource->setText(sSource);
    const int result = Prompts::ExecModal(this);
    // Only OK confirms the destination. The close box, Esc or any other way
    // out counts as Cancel: what the box happens to hold is not a choice the
    // user confirmed.
    if (result != QDialog::Accepted || mCancelled || mClosedByUser)
        return QString();
    return besideSource(m_txtDestination->text(), sSource);
}

// A typed relative destination names a folder beside the file, in the folder
// the user is looking at, never one under the program's working folder.
// Anything else comes back exactly as typed.
QString frmFile::besideSource(const QString &destination, const QString &sSource)
{
    const QString folder = FSO().GetParentFolderName(sSource);
    if (destination.isEmpty() || !QDir::isRelativePath(destination) || folder.isEmpty())
        return destination;
    const QString path = QDir::cleanPath(QDir(folder).filePath(destination));
    return destination.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/')) ? path + QLatin1Char('/') : path;
}

void frmFile::Unload()
{
    delete g_instance;
    g_instance = nullptr;
}

frmFile *frmFile::instanceIfLoaded() { return g_instance; }

void frmFile::cmdOK_Click() { done(QDialog::Accepted); }

void frmFile::cmdCancel_Click()
{
    mCancelled = true;
    done(QDialog::Rejected);
}

void frmFile::reject() { cmdCancel_Click(); }

void frmFile::closeEvent(QCloseEvent *event)
{
    mClosedByUser = true;
    done(QDialog::Rejected);
    event->accept();
}

void frmFile::FolderTree_FolderChanged()
{
    const QString path = m_folderTree->Path();
    if (!path.isEmpty())
        m_txtDestination->setText(path);
}

void frmFile::FolderTree_DesktopSelected()
{
    m_txtDestination->setText(modMain::GetSpecialFolder(kDesktop));
}
