#include "ImgXPrint.h"

#include "ImgXDocument.h"
#include "ImagingLog.h"
#include "PrintPlacement.h"
#include "Prompts.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QScopeGuard>

#include <utility>

namespace {

int rangeOf(QPrinter::PrintRange range)
{
    switch (range) {
    case QPrinter::Selection: return ImgXPrint::Selection;
    case QPrinter::PageRange: return ImgXPrint::PageRange;
    default: return ImgXPrint::AllPages;
    }
}

// The sheets 0..count-1 as they come out: in reverse when asked; several
// copies either as whole sets one after the other (collated) or each
// sheet repeated where it stands.
QVector<int> sheetOrder(int count, int copies, bool collate, bool reverse)
{
    QVector<int> sheets;
    for (int i = 0; i < count; ++i)
        sheets << (reverse ? count - 1 - i : i);
    QVector<int> order;
    const int sets = qMax(1, copies);
    if (collate) {
        for (int copy = 0; copy < sets; ++copy)
            order += sheets;
    } else {
        for (const int sheet : sheets)
            order += QVector<int>(sets, sheet);
    }
    return order;
}

void drawImage(QPainter &painter, QPrinter &printer, const QImage &image, bool center, bool fit)
{
    const QSizeF area = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    const QSizeF natural = PrintPlacement::naturalSize(image, printer.logicalDpiX(), printer.logicalDpiY());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fit);
    painter.drawImage(PrintPlacement::place(natural, area, center, fit), image);
}

}

ImgXPrint::ImgXPrint() : m_printer(QPrinter::HighResolution) {}

ImgXPrint::~ImgXPrint() = default;

void ImgXPrint::ShowPrintDialog(QWidget *owner, long, bool &ok)
{
    QPrintDialog dialog(&m_printer, owner);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options() | QAbstractPrintDialog::PrintSelection;
    // With no page to offer (1 to 0), the page range cannot be chosen.
    const bool pagesOffered = MinPage >= 1 && MaxPage >= MinPage;
    options.setFlag(QAbstractPrintDialog::PrintPageRange, pagesOffered);
    dialog.setOptions(options);
    if (pagesOffered) {
        dialog.setMinMax(int(MinPage), int(MaxPage));
        const long from = qBound(MinPage, FromPage, MaxPage);
        const long to = qBound(from, ToPage, MaxPage);
        m_printer.setFromTo(int(from), int(to));
    }
    m_printer.setPrintRange(QPrinter::AllPages);

    ok = Prompts::ExecModal(&dialog) == QDialog::Accepted;
    if (!ok)
        return;
    m_printRange = rangeOf(m_printer.printRange());
    if (m_printRange == PageRange) {
        FromPage = m_printer.fromPage();
        ToPage = m_printer.toPage();
    }
}

void ImgXPrint::ShowPageSetup(QWidget *owner, long, bool &result)
{
    QPageSetupDialog dialog(&m_printer, owner);
    result = Prompts::ExecModal(&dialog) == QDialog::Accepted;
}

void ImgXPrint::PrintPages(const QString &jobName, const ImgXPages &pages, bool center, bool fit)
{
    const int count = pages.Count();
    if (count <= 0)
        throw ImgXError(QStringLiteral("There is no image to print."));
    m_jobName = jobName;
    // A page that cannot be decoded is left out.
    for (int i = 0; i < count; ++i) {
        addSheet([&pages, i] {
            const std::optional<ImgXPage> page = pages.Item(i);
            return page ? page->image : QImage();
        }, center, fit);
    }
    ++m_jobs;
    if (!m_inDocument)
        printSheets();
}

void ImgXPrint::PrintImage(const QString &jobName, const QImage &image, bool center, bool fit)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to print."));
    m_jobName = jobName;
    addSheet([image] { return image; }, center, fit);
    ++m_jobs;
    if (!m_inDocument)
        printSheets();
}

void ImgXPrint::addSheet(std::function<QImage()> image, bool center, bool fit)
{
    m_sheets.append(Sheet{std::move(image), center, fit, m_jobs});
}

void ImgXPrint::beginDocument()
{
    m_inDocument = true;
}

bool ImgXPrint::endDocument()
{
    m_inDocument = false;
    try {
        printSheets();
        return true;
    } catch (const ImgXError &error) {
        qCWarning(lcImaging) << "Printing" << m_jobName << "did not complete:" << error.text();
        return false;
    }
}

// The printer is given every sheet once, in the order they come out: the
// copies and the order are made here, the same for a file and a printer.
void ImgXPrint::printSheets()
{
    const QVector<Sheet> sheets = std::exchange(m_sheets, QVector<Sheet>());
    // The printer makes no copies and keeps the order while the sheets go
    // out; it has them back after, for the next print dialog.
    const int copies = m_printer.copyCount();
    const bool collate = m_printer.collateCopies();
    const QPrinter::PageOrder pageOrder = m_printer.pageOrder();
    m_printer.setCopyCount(1);
    m_printer.setPageOrder(QPrinter::FirstPageFirst);
    const auto restore = qScopeGuard([this, copies, pageOrder] {
        m_printer.setCopyCount(copies);
        m_printer.setPageOrder(pageOrder);
    });
    printInOrder(sheets, sheetOrder(int(sheets.size()), copies, collate, pageOrder == QPrinter::LastPageFirst));
}

// A file takes the whole document; a real printer gets a job of its own
// wherever the next sheet belongs to another call. The sheets already
// printed stay printed when one fails.
void ImgXPrint::printInOrder(const QVector<Sheet> &sheets, const QVector<int> &order)
{
    const bool toFile = !m_printer.outputFileName().isEmpty();
    QPainter painter;
    int job = -1;
    int read = -1;
    QImage image;
    for (const int index : order) {
        const Sheet &sheet = sheets[index];
        // Copies of a sheet that come out one after the other share one
        // reading (one decode of a page) of its image.
        if (index != read) {
            image = sheet.image();
            read = index;
        }
        if (image.isNull())
            continue;
        if (painter.isActive() && !toFile && sheet.job != job && !painter.end())
            throw ImgXError(QStringLiteral("The print job did not complete."));
        job = sheet.job;
        if (painter.isActive()) {
            if (!m_printer.newPage())
                throw ImgXError(QStringLiteral("The printer could not start a new page."));
        } else {
            m_printer.setDocName(m_jobName);
            if (!painter.begin(&m_printer))
                throw ImgXError(QStringLiteral("The printer could not start the job \"%1\".").arg(m_jobName));
            // Without this hint the PDF the printer is fed re-encodes images as JPEG.
            painter.setRenderHint(QPainter::LosslessImageRendering);
        }
        drawImage(painter, m_printer, image, sheet.center, sheet.fit);
    }
    if (painter.isActive() && !painter.end())
        throw ImgXError(QStringLiteral("The print job did not complete."));
}
