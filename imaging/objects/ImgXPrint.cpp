#include "ImgXPrint.h"

#include "ImgXDocument.h"
#include "PrintPlacement.h"
#include "Prompts.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>

namespace {

int rangeOf(QPrinter::PrintRange range)
{
    switch (range) {
    case QPrinter::Selection: return ImgXPrint::Selection;
    case QPrinter::PageRange: return ImgXPrint::PageRange;
    default: return ImgXPrint::AllPages;
    }
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
    try {
        for (int i = 0; i < count; ++i) {
            const std::optional<ImgXPage> page = pages.Item(i);
            if (page && !page->image.isNull())
                drawImage(startSheet(jobName), m_printer, page->image, center, fit);
        }
    } catch (const ImgXError &) {
        if (!collectsJobs())
            m_painter.reset();   // the sheets so far still go out
        throw;
    }
    finishJob();
}

void ImgXPrint::PrintImage(const QString &jobName, const QImage &image, bool center, bool fit)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to print."));
    drawImage(startSheet(jobName), m_printer, image, center, fit);
    finishJob();
}

void ImgXPrint::beginDocument()
{
    m_inDocument = true;
}

bool ImgXPrint::endDocument()
{
    m_inDocument = false;
    const std::unique_ptr<QPainter> painter = std::move(m_painter);
    return !painter || painter->end();
}

bool ImgXPrint::collectsJobs() const
{
    return m_inDocument && !m_printer.outputFileName().isEmpty();
}

QPainter &ImgXPrint::startSheet(const QString &jobName)
{
    if (m_painter) {
        if (!m_printer.newPage())
            throw ImgXError(QStringLiteral("The printer could not start a new page."));
        return *m_painter;
    }
    m_printer.setDocName(jobName);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&m_printer))
        throw ImgXError(QStringLiteral("The printer could not start the job \"%1\".").arg(jobName));
    // Without this hint the PDF the printer is fed re-encodes images as JPEG.
    painter->setRenderHint(QPainter::LosslessImageRendering);
    m_painter = std::move(painter);
    return *m_painter;
}

// Ends the job, unless it belongs to a document that goes to a file:
// endDocument ends that.
void ImgXPrint::finishJob()
{
    if (collectsJobs())
        return;
    const std::unique_ptr<QPainter> painter = std::move(m_painter);
    if (painter && !painter->end())
        throw ImgXError(QStringLiteral("The print job did not complete."));
}
