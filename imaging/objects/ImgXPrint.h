#pragma once
// The imaging component's print object: the print and page-setup dialogs,
// and printing of one image or of every page of a document, placed at the
// top left of the printable area, centred on it, or fitted to it keeping
// the aspect ratio. The printer and its page setup are kept for later jobs.
// Images go to the printer without lossy compression. The copies, their
// collation and the reverse order chosen in the print dialog are made
// here, since a printer that writes a file makes none of them itself.

#include <QImage>
#include <QPrinter>
#include <QString>
#include <QVector>

#include <functional>

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
    // Inside a document the pages are read when the document ends, so they
    // must stay as they are until then.
    void PrintPages(const QString &jobName, const ImgXPages &pages, bool center, bool fit);
    // One job with the one image. Throws ImgXError.
    void PrintImage(const QString &jobName, const QImage &image, bool center, bool fit);

    // Between these two calls the jobs of one print command make one
    // document, printed when it ends: the copies and the order then take
    // in every sheet of the command. A printer that writes a file gets the
    // whole document, so that no job replaces the file an earlier one
    // wrote; a real printer still takes each job apart. endDocument is
    // false when the document could not be completed.
    void beginDocument();
    bool endDocument();

    QPrinter &printer() { return m_printer; }

private:
    // One sheet to print: its image, read when it is printed.
    struct Sheet {
        std::function<QImage()> image;
        bool center = false;
        bool fit = false;
        int job = 0;
    };
    void addSheet(std::function<QImage()> image, bool center, bool fit);
    // Prints the sheets gathered, with the copies and in the order asked
    // for, and forgets them. Throws ImgXError.
    void printSheets();
    void printInOrder(const QVector<Sheet> &sheets, const QVector<int> &order);

    QPrinter m_printer;
    QVector<Sheet> m_sheets;
    QString m_jobName;
    int m_jobs = 0;
    bool m_inDocument = false;
    int m_printRange = AllPages;
};
