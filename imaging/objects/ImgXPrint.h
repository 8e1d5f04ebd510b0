#pragma once
// The imaging component's print object: the print and page-setup dialogs,
// and printing of one image or of every page of a document, placed at the
// top left of the printable area, centred on it, or fitted to it keeping
// the aspect ratio. The printer and its page setup are kept for later jobs.
// Images go to the printer without lossy compression.

#include <QImage>
#include <QPrinter>
#include <QString>

#include <memory>

class QPainter;
class ImgXPages;
class QWidget;

class ImgXPrint {
public:
    ImgXPrint();
    ~ImgXPrint();

    // The page range the print dialog offers and returns (1-based).
    long FromPage = 1;
    long ToPage = 1;
    long MinPage = 1;
    long MaxPage = 1;
    long DialogOptions = 0;

    enum Range { AllPages = 0, Selection = 1, PageRange = 2 };
    // What the user chose in the last print dialog.
    int PrintRange() const { return m_printRange; }

    // ok is true when the user confirmed; FromPage, ToPage and PrintRange
    // then hold the choice.
    void ShowPrintDialog(QWidget *owner, long flags, bool &ok);
    void ShowPageSetup(QWidget *owner, long flags, bool &result);

    // One job with every page, each on its own sheet. Throws ImgXError.
    void PrintPages(const QString &jobName, const ImgXPages &pages, bool center, bool fit);
    // One job with the one image. Throws ImgXError.
    void PrintImage(const QString &jobName, const QImage &image, bool center, bool fit);

    // Between these two calls the jobs of one print command go into one
    // document when the printer writes a file, each on a sheet of its own,
    // so that no job replaces the file an earlier one wrote. A real printer
    // still takes each job apart. endDocument is false when the document
    // could not be completed.
    void beginDocument();
    bool endDocument();

    QPrinter &printer() { return m_printer; }

private:
    // In a document that goes to a file: jobs stay open for the next one.
    bool collectsJobs() const;
    // A painter on the printer, ready for a new sheet of the job.
    QPainter &startSheet(const QString &jobName);
    void finishJob();

    QPrinter m_printer;
    std::unique_ptr<QPainter> m_painter;   // while a job or a document is open
    bool m_inDocument = false;
    int m_printRange = AllPages;
};
