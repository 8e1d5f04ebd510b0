#pragma once
// A graphical command button without a caption whose back colour is its value.

#include <QColor>
#include <QPushButton>

class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget *parent = nullptr);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);

private:
    QColor m_backColor;
};
