#pragma once
// The imaging component without a screen: decoded pages, their description,
// transforms and output. The widget ImgX shows one of these; the browser's
// thumbnail workers use it directly on their own threads (one document per
// thread, never shared).

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// Format codes as the program stores and passes them.
enum ImgXFormat {
    ImgXFormatUnknown = 0,
    ImgXFormatJPG = 1,
    ImgXFormatPNG = 2,
    ImgXFormatTIF = 3,
    ImgXFormatPCX = 4,
    ImgXFormatTGA = 5,
    ImgXFormatBMP = 6,
    ImgXFormatWMF = 7,
    ImgXFormatEMF = 8,
    ImgXFormatPSD = 9,
    ImgXFormatWBMP = 10,
    ImgXFormatGIF = 11,
    ImgXFormatICO = 12,
    ImgXFormatCUR = 13,
    ImgXFormatPCD = 14,
    ImgXFormatPicture = 15   // handed over as a picture, not read from a file
};

// Every failure of the component reaches the caller as this exception;
// what() is the decoder's or encoder's own error text.
class ImgXError : public std::runtime_error {
public:
    explicit ImgXError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

class ImgXPage;

// Decodes the pages of a many-page file one at a time, when they are
// wanted, so a document of thousands of pages holds the pixels of the page
// on show only. Shared by every copy of the page list; safe to call from
// several threads.
class ImgXPageSource {
public:
    virtual ~ImgXPageSource() = default;
    virtual ImgXPage decode(int index) = 0;   // fully described; throws ImgXError
    // The memory it keeps meanwhile (the file's bytes), for callers that
    // hold pages within a budget.
    virtual qint64 heldBytes() const = 0;
};

// One page of the loaded image and its description.
class ImgXPage {
public:
    QImage image;             // the pixels (for a reduced-scale decode, fewer than Width x Height)
    QString fileName;         // last component of filePath; "" for a picture
    QString filePath;         // full path of the file it came from; "" for a picture
    int format = ImgXFormatUnknown;
    int width = 0;            // in pixels, as the image is described
    int height = 0;
    int bitsPerPixel = 0;     // as stored in the file: 1, 4, 8, 16, 24, 32, 48, 64
    int pageIndex = 0;        // 0-based
    // Where the pixels come from while `image` is null (a page not yet
    // decoded, or let go); none once the page holds pixels of its own.
    std::shared_ptr<ImgXPageSource> source;

    int Width() const { return width; }
    int Height() const { return height; }
    int BitsPerPixel() const { return bitsPerPixel; }
    int PageIndex() const { return pageIndex; }
    int Format() const { return format; }
    QString FileName() const { return fileName; }
    QString FilePath() const { return filePath; }
};

class ImgXDocument;

// ImgX.Loader
class ImgXLoader {
public:
    explicit ImgXLoader(ImgXDocument &doc) : m_doc(doc) {}
    // Decodes the file by its content and makes its first page current.
    // Options (";"-separated): "ThumbnailSize=N" lets the decoder work at a
    // reduced scale whose short side is still at least 2 x N pixels, while
    // ImageInfo keeps describing the full size. Throws ImgXError.
    void LoadFromFile(const QString &path, int page = 0, const QString &options = QString());
    // Shows a picture the program loaded itself (icons, cursors, DIBs).
    // Given the file it came from, the picture is described with that
    // file's name and path; otherwise with none.
    void LoadFromPicture(const QImage &picture, const QString &options = QString(),
                         const QString &sourceFile = QString());
private:
    ImgXDocument &m_doc;
};

// ImgX.Pages
class ImgXPages {
public:
    explicit ImgXPages(ImgXDocument &doc) : m_doc(doc) {}
    int Count() const;                                  // 0: no image
    void Clear(const QString &options = QString());     // nothing is shown
    // Decodes a page not yet decoded; no page (not an error) outside the
    // range or when the page cannot be decoded.
    std::optional<ImgXPage> Item(int index) const;
    void SetCurrent(const ImgXPage &page);              // shows that page (by its PageIndex); throws ImgXError
private:
    ImgXDocument &m_doc;
};

// ImgX.ImageInfo: the description of the page on show. All values are
// empty or 0 when nothing is loaded.
class ImgXImageInfo {
public:
    explicit ImgXImageInfo(ImgXDocument &doc) : m_doc(doc) {}
    QString FileName() const;
    QString FilePath() const;
    int Format() const;
    int Width() const;
    int Height() const;
    int BitsPerPixel() const;
    int PageIndex() const;
private:
    ImgXDocument &m_doc;
};

// ImgX.Transform: acts on the page on show. Each throws ImgXError when
// nothing is loaded or the arguments are unusable.
class ImgXTransform {
public:
    explicit ImgXTransform(ImgXDocument &doc) : m_doc(doc) {}
    // method 4 is a high-quality filter; a 0 side follows the aspect ratio.
    void Resize(int width, int height, int method = 4, const QString &options = QString());
    // The image placed at (x, y) on a width x height canvas filled with colour.
    void Canvas(int width, int height, const QColor &colour, int x, int y, const QString &options = QString());
    // Quarter turns are exact; a positive angle turns clockwise.
    void Rotate(double degrees, const QColor *background = nullptr, int flags = 0, const QString &options = QString());
    void Encrypt(const QString &key, const QString &options = QString());
    void Decrypt(const QString &key, const QString &options = QString());
private:
    ImgXDocument &m_doc;
};

// ImgX.Export
class ImgXExport {
public:
    explicit ImgXExport(ImgXDocument &doc) : m_doc(doc) {}
    QImage GetPicture() const;          // the page on show; null image when nothing is loaded
    // Writes the page on show in the format of the code (1..10). Writes a
    // temporary file in the same folder and renames it, so a failed save
    // leaves neither a partial file nor a damaged old one. Throws ImgXError.
    void SaveFile(const QString &path, int formatCode, int options = 0, bool overwrite = true) const;
    // The same save as work that may run on another thread: it holds its
    // own copy of the page on show, so the document can change meanwhile.
    // Throws ImgXError at once when nothing is loaded; the work throws it
    // when the file cannot be written.
    std::function<void()> SaveFileJob(const QString &path, int formatCode, int options = 0,
                                      bool overwrite = true) const;
    void CopyToClipboard() const;       // GUI thread only
private:
    ImgXDocument &m_doc;
};

// ImgX.ColorFactory
class ImgXColorFactory {
public:
    // rgb packed as 0x00BBGGRR (red in the low byte).
    static QColor FromRGB(quint32 rgb, int alpha = 255);
};

class ImgXDocument {
public:
    ImgXDocument();
    ImgXDocument(const ImgXDocument &) = delete;
    ImgXDocument &operator=(const ImgXDocument &) = delete;

    ImgXLoader Loader;
    ImgXPages Pages;
    ImgXImageInfo ImageInfo;
    ImgXTransform Transform;
    ImgXExport Export;
    ImgXColorFactory ColorFactory;

    // Called after every change of the page on show (load, clear, page
    // change, transform). The widget repaints and raises ViewChanged.
    std::function<void()> onChanged;

    // Direct access for the component's own code and for tests. Pages with
    // a source and no image are decoded when shown or asked for by Item.
    const QVector<ImgXPage> &pages() const { return m_pages; }
    int currentPage() const { return m_current; }
    const ImgXPage *current() const;
    ImgXPage *current();
    // Shows page `current` of these, decoding it if need be (throws
    // ImgXError when it cannot be decoded).
    void setPages(QVector<ImgXPage> pages, int current = 0);
    void clear();
    void changed() { if (onChanged) onChanged(); }

private:
    void show(int index);

    QVector<ImgXPage> m_pages;
    int m_current = -1;
};
