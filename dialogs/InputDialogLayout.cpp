#include "InputDialogLayout.h"

double InputDialogLayout::addRow()
{
    const double top = m_labelTops.isEmpty() ? kFirstLabelTop : m_labelTops.last() + kLabelHeight + kRowGap;
    m_labelTops.append(top);
    return top;
}

double InputDialogLayout::clientHeight() const
{
    if (m_labelTops.isEmpty())
        return kDesignHeight;
    return m_labelTops.last() + kLabelHeight + kRowGap + kStripHeight;
}
