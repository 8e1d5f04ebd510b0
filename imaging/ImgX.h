#pragma once
// The imaging control: an ImgXDocument shown in a widget, centred and
// double-buffered, with zoom, scroll modes and the control's events.

#include "ImgXDocument.h"

#include <QWidget>

class QPainter;
class QScrollBar;

class ImgX : public QWidget {
    Q_OBJECT
public:
    explicit ImgX(QWidget *parent = nullptr);
    ~ImgX() override;

    // The members the program calls, as ImgX.Loader.LoadFromFile(...) and so on.
    ImgXDocument &document() { return m_doc; }
    ImgXLoader &Loader;
    ImgXPages &Pages;
    ImgXImageInfo &ImageInfo;
    ImgXTransform &Transform;
    ImgXExport &Export;
    ImgXColorFactory &ColorFactory;

    double Zoom() const { return m_zoom; }
    void setZoom(double zoom);                 // 1.0 is 100 %; raises ViewChanged

    // 0 and 3: the image is shown whole and centred (no scroll bars);
    // 2: scroll bars, the image moves with ScrollX / ScrollY.
    int ScrollMode() const { return m_scrollMode; }
    void setScrollMode(int mode);
    int ScrollX() const;                       // in screen pixels of the zoomed image
    int ScrollY() const;
    void setScrollX(int x);
    void setScrollY(int y);

    bool AntiAliasDisplay() const { return m_antiAlias; }
    void setAntiAliasDisplay(bool on);
    bool SourceIsFile() const { return m_sourceIsFile; }
    void setSourceIsFile(bool fromFile) { m_sourceIsFile = fromFile; }
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);
    // 1: files may be dropped on the control (OLEDragDrop); 0: no drops.
    int OLEDropMode() const { return m_dropMode; }
    void setOLEDropMode(int mode);
    ImgX *ControlObject() { return this; }

Q_SIGNALS:
    void DblClick();
    // keyCode: the key as VirtualKeys numbers it; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void KeyDown(int keyCode, int shift);
    // button: 1 left, 2 right, 4 middle; x, y in pixels within the control.
    void MouseUp(int button, int shift, float x, float y);
    void ViewChanged();
    // files: the dropped paths in order; hasFileList false when the data
    // offered no file list at all.
    void OLEDragDrop(const QStringList &files, bool hasFileList);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool event(QEvent *event) override;   // Tab and Backtab reach KeyDown too
    void documentChanged();
    void updateScrollBars();
    QRect imageRect() const;    // where the zoomed image lies in widget pixels
    QRect viewportRect() const; // the widget less the visible scroll bars
    QSize zoomedSize() const;
    const QImage &displayImage();
    void drawPiece(QPainter &painter, const QRectF &dest, const QRect &source);

    QImage m_display;           // the page in a format QPainter draws fast (a huge one as it is)
    qint64 m_displayKey = 0;
    QImage m_shrunk;            // the page smoothly reduced to the zoom, in screen pixels, when below 100 %
    qint64 m_shrunkKey = 0;

    ImgXDocument m_doc;
    double m_zoom = 1.0;
    int m_scrollMode = 3;
    bool m_antiAlias = true;
    bool m_sourceIsFile = true;
    int m_dropMode = 0;
    QColor m_backColor = QColor(0xDE, 0xE7, 0xEF);
    QScrollBar *m_hbar = nullptr;
    QScrollBar *m_vbar = nullptr;
};
