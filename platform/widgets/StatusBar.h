#pragma once
// A status bar of a fixed number of text panels, addressed 1, 2, 3... from
// the left. The last panel takes the remaining width; in a narrow window a
// panel's text ends in an ellipsis where it does not fit.

#include <QStatusBar>
#include <QVector>

class StatusPanel;

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(int panelCount = 5, QWidget *parent = nullptr);

    int PanelCount() const { return int(m_panels.size()); }
    QString PanelText(int index) const;
    // A panel number outside 1..PanelCount() is ignored.
    void setPanelText(int index, const QString &text);
    StatusPanel *panel(int index) const;

private:
    QVector<StatusPanel *> m_panels;
};
