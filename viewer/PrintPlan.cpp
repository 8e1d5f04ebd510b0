#include "PrintPlan.h"

namespace PrintPlan {

namespace {
constexpr int kAll = 0;
constexpr int kSelection = 1;
}

QVector<PrintCall> make(int placement, int range, int pageCount, long fromPage, long toPage)
{
    const bool center = placement == Centered || placement == FitToPage;
    const bool fit = placement == FitToPage;
    if (pageCount > 1 && range == kAll)
        return {PrintCall{PrintCall::AllPages, 0, center, fit}};
    if (range == kSelection)
        return {PrintCall{PrintCall::ShownImage, 0, true, false}};
    QVector<PrintCall> calls;
    for (long i = fromPage - 1; i <= toPage - 1; ++i)
        calls.append(PrintCall{PrintCall::Page, int(i), center, fit});
    return calls;
}

}
