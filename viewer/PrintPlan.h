#pragma once
// What one print command prints, from the placement the user picked in the
// menu and the range chosen in the print dialog.

#include <QVector>

struct PrintCall {
    enum What { AllPages, ShownImage, Page };
    What what = Page;
    int pageIndex = 0;      // 0-based; for Page only
    bool center = false;
    bool fit = false;
};

namespace PrintPlan {
enum Placement { TopLeft = 0, Centered = 1, FitToPage = 2 };
// range: 0 all pages, 1 the selection (the shown image), 2 pages fromPage..toPage (1-based).
// Several pages with All go in one job; the selection always prints centred
// and not fitted; otherwise each page of the range is a job of its own.
QVector<PrintCall> make(int placement, int range, int pageCount, long fromPage, long toPage);
}
