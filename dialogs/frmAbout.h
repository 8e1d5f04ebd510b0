#pragma once
// The About box: the program's name, version and description, and a button
// that starts the system-information tool. It is modeless and owned by the
// window that shows it; OK, Esc or the close box unload it.

#include <QDialog>

class QLabel;
class QPushButton;
class SkinLabel;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Shows the box over its owner without blocking it; a box already
    // open is brought to the front.
    static void ShowModeless(QWidget *owner);
    static frmAbout *instanceIfLoaded();

    // Starts the system-information tool, or says that it cannot.
    void StartSysInfo();

    SkinLabel *SkinLabel1() const { return m_skinLabel1; }
    SkinLabel *SkinLabel2() const { return m_skinLabel2; }
    SkinLabel *SkinLabel3() const { return m_skinLabel3; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdSysInfo() const { return m_cmdSysInfo; }

    // Esc: the same as OK.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    explicit frmAbout(QWidget *owner);
    void createControls();
    void createDecoration();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    SkinLabel *m_skinLabel1 = nullptr;
    SkinLabel *m_skinLabel2 = nullptr;
    SkinLabel *m_skinLabel3 = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdSysInfo = nullptr;
    QLabel *m_picIcon = nullptr;
    QWidget *m_asxBars1 = nullptr;
};
