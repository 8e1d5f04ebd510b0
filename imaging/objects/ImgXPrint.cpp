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

// A painter on the printer, or an ImgXError when the job cannot start.
void beginJob(QPainter &painter, QPrinter &printer, const QString &jobName)
{
    printer.setDocName(jobName);
    if (!painter.begin(&printer))
        throw ImgXError(QStringLiteral("The printer could not start the job \"%1\".").arg(jobName));
}

void endJob(QPainter &painter)
{
    if (!painter.end())
        throw ImgXError(QStringLiteral("The print job did not complete."));
}

}

ImgXPrint::ImgXPrint() : m_printer(QPrinter::HighResolution) {}

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
    QPainter painter;
    beginJob(painter, m_printer, jobName);
    bool first = true;
    for (int i = 0; i < count; ++i) {
        const std::optional<ImgXPage> page = pages.Item(i);
        if (!page || page->image.isNull())
            continue;
        if (!first && !m_printer.newPage())
            throw ImgXError(QStringLiteral("The printer could not start a new page."));
        drawImage(painter, m_printer, page->image, center, fit);
        first = false;
    }
    endJob(painter);
}

void ImgXPrint::PrintImage(const QString &jobName, const QImage &image, bool center, bool fit)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to print."));
    QPainter painter;
    beginJob(painter, m_printer, jobName);
    drawImage(painter, m_printer, image, center, fit);
    endJob(painter);
}
