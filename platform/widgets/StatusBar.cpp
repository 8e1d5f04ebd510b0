#include "StatusBar.h"

#include "StatusPanel.h"

StatusBar::StatusBar(int panelCount, QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int i = 0; i < panelCount; ++i) {
        auto *label = new StatusPanel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(60);
        const bool last = i == panelCount - 1;
        addWidget(label, last ? 1 : 0);
        m_panels.append(label);
    }
}

StatusPanel *StatusBar::panel(int index) const
{
    return index >= 1 && index <= m_panels.size() ? m_panels[index - 1] : nullptr;
}

QString StatusBar::PanelText(int index) const
{
    const StatusPanel *label = panel(index);
    return label ? label->text() : QString();
}

void StatusBar::setPanelText(int index, const QString &text)
{
    if (StatusPanel *label = panel(index))
        label->setText(text);
}
