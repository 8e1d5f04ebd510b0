#include "Toolbar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

namespace {
constexpr int kMargin = 1;
constexpr int kButtonPadding = 2;     // around the picture, each side
constexpr int kSeparatorWidth = 8;
constexpr int kNarrowSeparatorWidth = 2;   // the separator's two lines, no room around them
constexpr QSize kDefaultPicture(40, 32);
}

Toolbar::Toolbar(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

void Toolbar::AddButton(const QString &key, const QString &toolTip, const QPixmap &picture,
                        const QPixmap &hoverPicture)
{
    ToolbarItem item;
    item.m_style = ToolbarItem::Button;
    item.m_key = key;
    item.m_toolTip = toolTip;
    item.m_picture = picture;
    item.m_hoverPicture = hoverPicture;
    m_items.append(item);
    layOut();
    updateGeometry();
    update();
}

void Toolbar::AddSeparator()
{
    ToolbarItem item;
    item.m_style = ToolbarItem::Separator;
    m_items.append(item);
    layOut();
    updateGeometry();
    update();
}

ToolbarItem &Toolbar::Item(int index)
{
    Q_ASSERT(index >= 1 && index <= m_items.size());
    return m_items[index - 1];
}

const ToolbarItem &Toolbar::Item(int index) const
{
    Q_ASSERT(index >= 1 && index <= m_items.size());
    return m_items[index - 1];
}

void Toolbar::Refresh()
{
    repaint();
}

QRect Toolbar::itemRect(int index) const
{
    return index >= 1 && index <= m_rects.size() ? m_rects[index - 1] : QRect();
}

// The items side by side from the left. In a toolbar narrower than its
// items the separators give up their room first, so that the buttons still
// fit whole where they can.
void Toolbar::layOut()
{
    int separators = 0;
    int needed = 2 * kMargin;
    for (const ToolbarItem &item : m_items) {
        if (item.m_style == ToolbarItem::Separator)
            ++separators;
        else
            needed += buttonWidth(item);
    }
    const int separatorWidth =
        separators == 0 ? kSeparatorWidth
                        : qBound(kNarrowSeparatorWidth, (width() - needed) / separators, kSeparatorWidth);
    m_rects.clear();
    int x = kMargin;
    for (const ToolbarItem &item : m_items) {
        const int itemWidth = item.m_style == ToolbarItem::Separator ? separatorWidth : buttonWidth(item);
        m_rects.append(QRect(x, 0, itemWidth, height()));
        x += itemWidth;
    }
}

int Toolbar::buttonWidth(const ToolbarItem &item)
{
    const QSize picture = item.m_picture.isNull() ? kDefaultPicture : item.m_picture.deviceIndependentSize().toSize();
    return picture.width() + 2 * kButtonPadding;
}

bool Toolbar::isWhole(int index) const
{
    return itemRect(index).right() < width() - kMargin;
}

int Toolbar::itemAt(const QPoint &pos) const
{
    for (int i = 1; i <= m_items.size(); ++i) {
        if (itemRect(i).contains(pos) && isWhole(i))
            return i;
    }
    return 0;
}

QSize Toolbar::sizeHint() const
{
    int width = 2 * kMargin;
    for (const ToolbarItem &item : m_items)
        width += item.m_style == ToolbarItem::Separator ? kSeparatorWidth : buttonWidth(item);
    return QSize(width, kDefaultPicture.height() + 2 * kButtonPadding);
}

void Toolbar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void Toolbar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // An item that does not fit whole is left out rather than cut through.
    for (int i = 1; i <= m_items.size() && isWhole(i); ++i) {
        const QRect r = itemRect(i);
        if (m_items[i - 1].m_style == ToolbarItem::Separator) {
            const int x = r.center().x();
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(x, r.top() + 4, x, r.bottom() - 4);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(x + 1, r.top() + 4, x + 1, r.bottom() - 4);
        } else {
            paintButton(painter, i, r);
        }
    }
}

void Toolbar::paintButton(QPainter &painter, int index, const QRect &rect) const
{
    const ToolbarItem &item = m_items[index - 1];
    const bool hovered = item.m_enabled && index == m_hovered;
    const bool sunken = item.m_checked || (hovered && index == m_pressed);
    if (sunken) {
        painter.fillRect(rect.adjusted(1, 1, -1, -1), palette().color(QPalette::Midlight));
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    const QPixmap &pixmap = hovered && !item.m_hoverPicture.isNull() ? item.m_hoverPicture : item.m_picture;
    if (pixmap.isNull())
        return;
    const QSize size = pixmap.deviceIndependentSize().toSize();
    QPoint topLeft(rect.x() + (rect.width() - size.width()) / 2, rect.y() + (rect.height() - size.height()) / 2);
    if (sunken)
        topLeft += QPoint(1, 1);
    painter.setOpacity(item.m_enabled ? 1.0 : 0.4);
    painter.drawPixmap(topLeft, pixmap);
    painter.setOpacity(1.0);
}

void Toolbar::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

void Toolbar::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(itemAt(event->position().toPoint()));
}

void Toolbar::leaveEvent(QEvent *)
{
    setHovered(0);
}

void Toolbar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = itemAt(event->position().toPoint());
    const bool clickable = index > 0 && m_items[index - 1].m_style == ToolbarItem::Button
        && m_items[index - 1].m_enabled;
    m_pressed = clickable ? index : 0;
    update();
}

void Toolbar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int pressed = m_pressed;
    m_pressed = 0;
    update();
    if (pressed == 0 || itemAt(event->position().toPoint()) != pressed)
        return;
    // Copy the key: the handler may change the toolbar.
    const QString key = m_items[pressed - 1].m_key;
    emit ButtonClick(pressed, key);
}

bool Toolbar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = itemAt(help->pos());
        if (index > 0 && !m_items[index - 1].m_toolTip.isEmpty())
            QToolTip::showText(help->globalPos(), m_items[index - 1].m_toolTip, this, itemRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
