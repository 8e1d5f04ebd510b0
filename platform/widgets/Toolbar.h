#pragma once
// A row of picture buttons and separators, numbered 1, 2, 3... from the
// left. A button has a key, a tooltip, a picture and a second picture shown
// while the pointer is over it; it can be checked (drawn pressed) and
// disabled. A click on an enabled button raises ButtonClick with its number
// and key; separators take no clicks. In a toolbar too narrow for all of
// them, the separators narrow and the items that still do not fit whole
// are left out.

#include <QPixmap>
#include <QString>
#include <QVector>
#include <QWidget>

class ToolbarItem {
public:
    enum Style { Button = 0, Separator = 2 };

    int Style() const { return m_style; }
    QString Key() const { return m_key; }
    QString ToolTipText() const { return m_toolTip; }
    QPixmap Picture() const { return m_picture; }
    bool Checked() const { return m_checked; }
    void setChecked(bool checked) { m_checked = checked; }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    friend class Toolbar;
    int m_style = Button;
    QString m_key;
    QString m_toolTip;
    QPixmap m_picture;
    QPixmap m_hoverPicture;
    bool m_checked = false;
    bool m_enabled = true;
};

class Toolbar : public QWidget {
    Q_OBJECT
public:
    explicit Toolbar(QWidget *parent = nullptr);

    void AddButton(const QString &key, const QString &toolTip, const QPixmap &picture,
                   const QPixmap &hoverPicture);
    void AddSeparator();
    int ItemCount() const { return int(m_items.size()); }
    // The item numbered index (1-based). Changes to its states show after Refresh().
    ToolbarItem &Item(int index);
    const ToolbarItem &Item(int index) const;
    void Refresh();

    // Where the item lies in the toolbar, in pixels (empty for a bad number).
    QRect itemRect(int index) const;
    QSize sizeHint() const override;

Q_SIGNALS:
    void ButtonClick(int Index, const QString &Key);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    int itemAt(const QPoint &pos) const;
    static int buttonWidth(const ToolbarItem &item);
    // Works out where the items lie, when one is added or the size changes.
    void layOut();
    bool isWhole(int index) const;
    void paintButton(QPainter &painter, int index, const QRect &rect) const;
    void setHovered(int index);

    QVector<ToolbarItem> m_items;
    QVector<QRect> m_rects;   // where each item lies, in item order
    int m_hovered = 0;   // item number under the pointer, 0 for none
    int m_pressed = 0;   // item number the left button went down on
};
