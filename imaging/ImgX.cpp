#include "ImgX.h"

#include "ImageReducer.h"
#include "ImageTransforms.h"
#include "VirtualKeys.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>

namespace {

// Up to this many pixels (more than a 4K screen) a zoom under 100 % is
// drawn from a copy reduced once; a larger view is drawn straight from
// the page, so a small zoom step on a huge image costs no second copy.
constexpr qint64 kMaxShrunkPixels = qint64(16) * 1024 * 1024;

// The picture in a format QPainter draws fast (itself when it is in one).
QImage forPainting(const QImage &image)
{
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

int mouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}

ImgX::ImgX(QWidget *parent)
    : QWidget(parent),
      Loader(m_doc.Loader),
      Pages(m_doc.Pages),
      ImageInfo(m_doc.ImageInfo),
      Transform(m_doc.Transform),
      Export(m_doc.Export),
      ColorFactory(m_doc.ColorFactory)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar->hide();
    m_vbar->hide();
    m_hbar->setFocusPolicy(Qt::NoFocus);
    m_vbar->setFocusPolicy(Qt::NoFocus);
    connect(m_hbar, &QScrollBar::valueChanged, this, [this] { update(); });
    connect(m_vbar, &QScrollBar::valueChanged, this, [this] { update(); });
    m_doc.onChanged = [this] { documentChanged(); };
}

ImgX::~ImgX()
{
    m_doc.onChanged = nullptr;
}

void ImgX::documentChanged()
{
    updateScrollBars();
    update();
    Q_EMIT ViewChanged();
}

void ImgX::setZoom(double zoom)
{
    if (!(zoom > 0) || !std::isfinite(zoom))
        return;
    // Keep the point in the middle of the view where it was.
    const QRect view = viewportRect();
    const QSize before = zoomedSize();
    const double cx = before.width() > 0 ? (ScrollX() + view.width() / 2.0) / before.width() : 0.5;
    const double cy = before.height() > 0 ? (ScrollY() + view.height() / 2.0) / before.height() : 0.5;
    m_zoom = zoom;
    updateScrollBars();
    const QRect after = viewportRect();
    const QSize size = zoomedSize();
    setScrollX(int(std::lround(cx * size.width() - after.width() / 2.0)));
    setScrollY(int(std::lround(cy * size.height() - after.height() / 2.0)));
    update();
    Q_EMIT ViewChanged();
}

void ImgX::setScrollMode(int mode)
{
    if (mode == m_scrollMode)
        return;
    m_scrollMode = mode;
    updateScrollBars();
    update();
}

int ImgX::ScrollX() const
{
    return m_scrollMode == 2 && m_hbar->isVisibleTo(this) ? m_hbar->value() : 0;
}

int ImgX::ScrollY() const
{
    return m_scrollMode == 2 && m_vbar->isVisibleTo(this) ? m_vbar->value() : 0;
}

void ImgX::setScrollX(int x)
{
    m_hbar->setValue(x);   // the bar clamps to its range
}

void ImgX::setScrollY(int y)
{
    m_vbar->setValue(y);
}

void ImgX::setAntiAliasDisplay(bool on)
{
    if (on == m_antiAlias)
        return;
    m_antiAlias = on;
    update();
}

void ImgX::setBackColor(const QColor &colour)
{
    m_backColor = colour;
    update();
}

void ImgX::setOLEDropMode(int mode)
{
    m_dropMode = mode;
    setAcceptDrops(mode == 1);
}

QSize ImgX::zoomedSize() const
{
    const ImgXPage *page = m_doc.current();
    if (!page || page->image.isNull())
        return QSize(0, 0);
    const int w = page->width > 0 ? page->width : page->image.width();
    const int h = page->height > 0 ? page->height : page->image.height();
    return QSize(qMax(1, int(std::lround(w * m_zoom))), qMax(1, int(std::lround(h * m_zoom))));
}

QRect ImgX::viewportRect() const
{
    int w = width(), h = height();
    if (m_vbar->isVisibleTo(this))
        w -= m_vbar->width();
    if (m_hbar->isVisibleTo(this))
        h -= m_hbar->height();
    return QRect(0, 0, qMax(0, w), qMax(0, h));
}

QRect ImgX::imageRect() const
{
    const QSize size = zoomedSize();
    const QRect view = viewportRect();
    int x = (view.width() - size.width()) / 2;
    int y = (view.height() - size.height()) / 2;
    if (m_scrollMode == 2) {
        if (size.width() > view.width())
            x = -m_hbar->value();
        if (size.height() > view.height())
            y = -m_vbar->value();
    }
    return QRect(QPoint(x, y), size);
}

void ImgX::updateScrollBars()
{
    const QSize size = zoomedSize();
    bool needH = false, needV = false;
    if (m_scrollMode == 2 && !size.isEmpty()) {
        const int barW = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        // A bar along one side takes room from the other direction.
        for (int pass = 0; pass < 2; ++pass) {
            needH = size.width() > width() - (needV ? barW : 0);
            needV = size.height() > height() - (needH ? barW : 0);
        }
        const int vw = qMax(0, width() - (needV ? barW : 0));
        const int vh = qMax(0, height() - (needH ? barW : 0));
        m_hbar->setGeometry(0, height() - barW, vw, barW);
        m_vbar->setGeometry(width() - barW, 0, barW, vh);
        m_hbar->setRange(0, needH ? size.width() - vw : 0);
        m_vbar->setRange(0, needV ? size.height() - vh : 0);
        m_hbar->setPageStep(qMax(1, vw));
        m_vbar->setPageStep(qMax(1, vh));
        m_hbar->setSingleStep(qMax(1, vw / 20));
        m_vbar->setSingleStep(qMax(1, vh / 20));
    } else {
        m_hbar->setRange(0, 0);
        m_vbar->setRange(0, 0);
    }
    m_hbar->setVisible(needH);
    m_vbar->setVisible(needV);
}

const QImage &ImgX::displayImage()
{
    const ImgXPage *page = m_doc.current();
    const QImage &image = page->image;
    if (m_displayKey != image.cacheKey() || m_display.isNull()) {
        // A huge page (a 1-bit scan of a billion pixels) is converted only
        // as far as it is drawn; see drawPiece.
        m_display = ImageReducer::convertsLarge(image) ? image : forPainting(image);
        m_displayKey = image.cacheKey();
        m_shrunk = QImage();
    }
    return m_display;
}

void ImgX::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_backColor);
    const ImgXPage *page = m_doc.current();
    if (!page || page->image.isNull())
        return;
    const QRect target = imageRect();
    const QRect visible = target & viewportRect() & event->rect();
    if (visible.isEmpty())
        return;
    const QImage &image = displayImage();
    painter.setClipRect(visible);

    // Zoomed out with smoothing: draw from a copy reduced once with an
    // area filter, which also looks better than per-paint sampling. The
    // copy has the screen's pixels, not the logical ones.
    const qreal ratio = devicePixelRatioF();
    const QSize onScreen = (QSizeF(target.size()) * ratio).toSize();
    const bool shrinking = onScreen.width() < image.width() && onScreen.height() < image.height();
    if (m_antiAlias && shrinking && qint64(onScreen.width()) * onScreen.height() <= kMaxShrunkPixels) {
        if (m_shrunk.size() != onScreen || m_shrunkKey != image.cacheKey()) {
            try {
                m_shrunk = ImageTransforms::resize(image, onScreen, 4);
                m_shrunk.setDevicePixelRatio(ratio);
            } catch (const ImgXError &) {
                m_shrunk = QImage();   // no memory for it: nothing is drawn
            }
            m_shrunkKey = image.cacheKey();
        }
        const QRectF source(QPointF(visible.topLeft() - target.topLeft()) * ratio, QSizeF(visible.size()) * ratio);
        painter.drawImage(QRectF(visible), m_shrunk, source);
        return;
    }

    // Only the source pixels under the exposed area are scaled, so a huge
    // image at a high zoom costs no more than the window's size.
    const double sx = double(image.width()) / target.width();
    const double sy = double(image.height()) / target.height();
    const int x0 = qMax(0, int(std::floor((visible.left() - target.left()) * sx)));
    const int y0 = qMax(0, int(std::floor((visible.top() - target.top()) * sy)));
    const int x1 = qMin(image.width(), int(std::ceil((visible.right() + 1 - target.left()) * sx)));
    const int y1 = qMin(image.height(), int(std::ceil((visible.bottom() + 1 - target.top()) * sy)));
    if (x1 <= x0 || y1 <= y0)
        return;
    const QRectF dest(target.left() + x0 / sx, target.top() + y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_antiAlias);
    if (ImageReducer::convertsLarge(image))
        drawPiece(painter, dest, QRect(x0, y0, x1 - x0, y1 - y0));
    else
        painter.drawImage(dest, image, QRectF(x0, y0, x1 - x0, y1 - y0));
}

// Draws part of a page kept in its own format: QPainter would convert all
// of it to 32 bits first, so only the part on show is converted, reduced
// to the screen's size first when it has more pixels than that.
void ImgX::drawPiece(QPainter &painter, const QRectF &dest, const QRect &source)
{
    QImage piece = m_display.copy(source);
    // The screen's pixels, not the logical ones.
    const qreal ratio = devicePixelRatioF();
    const QSize onScreen(qBound(1, int(std::ceil(dest.width() * ratio)), piece.width()),
                         qBound(1, int(std::ceil(dest.height() * ratio)), piece.height()));
    try {
        if (onScreen != piece.size())
            piece = ImageTransforms::resize(piece, onScreen, m_antiAlias ? 4 : 0);
        piece = forPainting(piece);
    } catch (const ImgXError &) {
        return;   // no memory for it: nothing is drawn
    }
    painter.drawImage(dest, piece);
}

void ImgX::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateScrollBars();
}

void ImgX::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT DblClick();
}

void ImgX::mouseReleaseEvent(QMouseEvent *event)
{
    const int button = mouseButtonCode(event->button());
    if (button == 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const QPointF pos = event->position();
    Q_EMIT MouseUp(button, VirtualKeys::shiftState(event->modifiers()), float(pos.x()), float(pos.y()));
}

void ImgX::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    Q_EMIT KeyDown(VirtualKeys::fromEvent(event), VirtualKeys::shiftState(event->modifiers()));
}

bool ImgX::event(QEvent *event)
{
    // QWidget would spend Tab on moving the focus before keyPressEvent.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void ImgX::wheelEvent(QWheelEvent *event)
{
    // Scroll bars scroll with the wheel; otherwise the wheel is the
    // owner's to use.
    if (m_scrollMode == 2 && (m_vbar->isVisibleTo(this) || m_hbar->isVisibleTo(this))) {
        const QPoint delta = event->angleDelta();
        const bool sideways = delta.x() != 0 || !m_vbar->isVisibleTo(this);
        QScrollBar *bar = sideways ? m_hbar : m_vbar;
        const int steps = (sideways && delta.x() != 0 ? delta.x() : delta.y()) / 120;
        bar->setValue(bar->value() - steps * bar->singleStep() * 3);
        event->accept();
        return;
    }
    event->ignore();
}

void ImgX::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_dropMode == 1)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ImgX::dropEvent(QDropEvent *event)
{
    if (m_dropMode != 1) {
        event->ignore();
        return;
    }
    const QMimeData *data = event->mimeData();
    QStringList files;
    const bool hasFileList = data && data->hasUrls();
    if (hasFileList) {
        for (const QUrl &url : data->urls()) {
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    Q_EMIT OLEDragDrop(files, hasFileList);
}
