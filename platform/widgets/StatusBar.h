#pragma once
// A status bar of a fixed number of text panels, addressed 1, 2, 3... from
// the left. The last panel takes the remaining width.

#include <QStatusBar>
#include <QVector>

class QLabel;

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(int panelCount = 5, QWidget *parent = nullptr);

    int PanelCount() const { return int(m_panels.size()); }
    QString PanelText(int index) const;
    // A panel number outside 1..PanelCount() is ignored.
    void setPanelText(int index, const QString &text);
    QLabel *panel(int index) const;

private:
    QVector<QLabel *> m_panels;
};
