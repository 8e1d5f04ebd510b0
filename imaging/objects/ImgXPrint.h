#pragma once
// The imaging component's print object: the print and page-setup dialogs,
// and printing of one image or of every page of a document, placed at the
// top left of the printable area, centred on it, or fitted to it keeping
// the aspect ratio. The printer and its page setup are kept for later jobs.

#include <QImage>
#include <QPrinter>
#include <QString>

class ImgXPages;
class QWidget;

class ImgXPrint {
public:
    ImgXPrint();

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

    QPrinter &printer() { return m_printer; }

private:
    QPrinter m_printer;
    int m_printRange = AllPages;
};
