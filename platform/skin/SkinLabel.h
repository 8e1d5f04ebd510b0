#pragma once
// A skinned label: a label whose Caption is its text.

#include <QLabel>

class SkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit SkinLabel(QWidget *parent = nullptr) : QLabel(parent) { setWordWrap(true); }
    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
};
