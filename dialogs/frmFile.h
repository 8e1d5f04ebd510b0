#pragma once
// The destination-folder chooser: the modal window in which the user picks
// the folder a file is copied or moved to. One window serves the whole
// program; it is only hidden between runs, so the destination, the tree's
// selection and the caption carry over from one run to the next.

#include <QDialog>

class FolderTree;
class QLabel;
class QLineEdit;
class QPushButton;

class frmFile : public QDialog {
    Q_OBJECT
public:
    // opType 1 copy to, 4 move to; sSource the file's full path. Returns the
    // destination box's text, a relative one taken from the source's folder,
    // or "" when the user cancelled.
    static QString ShowFileForm(long opType, const QString &sSource);
    // Discards the window (at program end); the next run loads a new one.
    static void Unload();
    static frmFile *instanceIfLoaded();

    QLineEdit *txtSource() const { return m_txtSource; }
    QLineEdit *txtDestination() const { return m_txtDestination; }
    FolderTree *folderTree() const { return m_folderTree; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

    // Esc: the same as Cancel.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    frmFile();
    void createControls();
    void Form_Load();
    QString run(long opType, const QString &sSource);
    static QString besideSource(const QString &destination, const QString &sSource);

    void cmdOK_Click();
    void cmdCancel_Click();
    void FolderTree_FolderChanged();
    void FolderTree_DesktopSelected();

    bool mCancelled = false;
    bool mClosedByUser = false;
    QLabel *m_label1 = nullptr;
    QLineEdit *m_txtSource = nullptr;
    QLabel *m_label2 = nullptr;
    QLineEdit *m_txtDestination = nullptr;
    FolderTree *m_folderTree = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};
