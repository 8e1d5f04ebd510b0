#pragma once
// A plain container that reports its new inner size in twips whenever it
// changes size, so its owner can lay out what it holds.

#include <QFrame>

class GenericContainer : public QFrame {
    Q_OBJECT
public:
    explicit GenericContainer(QWidget *parent = nullptr);

Q_SIGNALS:
    void Resize(double innerWidth, double innerHeight);

protected:
    void resizeEvent(QResizeEvent *event) override;
};
