#pragma once
// One panel of a status bar: a sunken frame with a line of text. Text that
// does not fit the panel's width ends in an ellipsis instead of being cut
// through a letter; text() keeps the whole of it.

#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;
    // The text as the panel shows it at its present width.
    QString shownText() const;
};
