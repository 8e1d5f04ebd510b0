#include "ListItemDelegate.h"

#include "ImageList.h"
#include "ListItemsModel.h"
#include "ListView.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

ListItemDelegate::ListItemDelegate(ListView *view) : QStyledItemDelegate(view), m_view(view) {}

QSize ListItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const QSize cell = m_view->cellSize();
    const int textHeight = option.fontMetrics.lineSpacing() * TextLines;
    return QSize(cell.width() + 2 * Margin, cell.height() + textHeight + 3 * Margin);
}

void ListItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QRect r = option.rect;
    const QSize cell = m_view->cellSize();
    const bool selected = option.state & QStyle::State_Selected;
    const bool showSelection = selected && (m_view->hasFocus() || !m_view->hideSelection());
    painter->save();

    const QRect pictureRect(r.x() + (r.width() - cell.width()) / 2, r.y() + Margin, cell.width(),
                            cell.height());
    if (ImageList *icons = m_view->Icons()) {
        const QPixmap pixmap = icons->cellPixmap(index.data(ListItemsModel::IconKeyRole).toString());
        if (!pixmap.isNull()) {
            const QSize size = pixmap.deviceIndependentSize().toSize();
            const QPoint at(pictureRect.x() + (pictureRect.width() - size.width()) / 2,
                            pictureRect.y() + (pictureRect.height() - size.height()) / 2);
            painter->drawPixmap(at, pixmap);
        }
    }
    if (showSelection) {
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(70);
        painter->fillRect(pictureRect, tint);
    }

    const QRect textRect(r.x() + Margin / 2, pictureRect.bottom() + Margin, r.width() - Margin,
                         r.bottom() - pictureRect.bottom() - Margin);
    paintName(painter, textRect, index.data(Qt::DisplayRole).toString(), showSelection, option);

    if ((option.state & QStyle::State_HasFocus) && m_view->hasFocus()) {
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

// Wraps the name at word boundaries (anywhere when a word is too long) and
// elides the last line that fits.
void ListItemDelegate::paintName(QPainter *painter, const QRect &rect, const QString &name,
                                 bool highlighted, const QStyleOptionViewItem &option) const
{
    if (name.isEmpty())
        return;
    QString text = name;
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    const QFontMetrics fm(option.font);
    QTextLayout layout(text, option.font);
    QTextOption textOption(Qt::AlignHCenter);
    textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(textOption);
    QStringList lines;
    layout.beginLayout();
    for (int n = 0; n < TextLines; ++n) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        const bool last = n == TextLines - 1;
        const QString part = last ? text.mid(line.textStart()) : text.mid(line.textStart(), line.textLength());
        lines << (last ? fm.elidedText(part, Qt::ElideRight, rect.width()) : part.trimmed());
    }
    layout.endLayout();

    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, fm.horizontalAdvance(line));
    const QRect used(rect.x() + (rect.width() - widest) / 2 - 2, rect.y(), widest + 4,
                     fm.lineSpacing() * lines.size());
    if (highlighted)
        painter->fillRect(used, option.palette.color(QPalette::Highlight));
    painter->setPen(option.palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    for (int n = 0; n < lines.size(); ++n)
        painter->drawText(QRect(rect.x(), rect.y() + n * fm.lineSpacing(), rect.width(), fm.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignVCenter, lines[n]);
}
