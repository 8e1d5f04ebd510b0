#include "StatusPanel.h"

#include <QPainter>
#include <QStyle>

StatusPanel::StatusPanel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

// The contents less the margin and the indent a framed label keeps from
// its edges (half an "x"), on both sides so an ellipsis never touches the frame.
QRect StatusPanel::textRect() const
{
    int inset = indent();
    if (inset < 0)
        inset = frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin() : 0;
    const int side = margin() + qMax(0, inset);
    return contentsRect().adjusted(side, margin(), -side, -margin());
}

QString StatusPanel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRect().width());
}

void StatusPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, textRect(), int(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), shownText(), foregroundRole());
}
