#include "StatusBar.h"

#include <QLabel>

StatusBar::StatusBar(int panelCount, QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    for (int i = 0; i < panelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(60);
        label->setTextFormat(Qt::PlainText);
        const bool last = i == panelCount - 1;
        addWidget(label, last ? 1 : 0);
        m_panels.append(label);
    }
}

QLabel *StatusBar::panel(int index) const
{
    return index >= 1 && index <= m_panels.size() ? m_panels[index - 1] : nullptr;
}

QString StatusBar::PanelText(int index) const
{
    QLabel *label = panel(index);
    return label ? label->text() : QString();
}

void StatusBar::setPanelText(int index, const QString &text)
{
    if (QLabel *label = panel(index))
        label->setText(text);
}
