#pragma once
// Where the input dialog's rows stand, in twips. Every row's label is the
// previous label's top plus its height plus a gap below it; the window's
// inner height ends one gap below the last label, above the button strip.

#include <QVector>

class InputDialogLayout {
public:
    static constexpr double kWidth = 7590;
    static constexpr double kDesignHeight = 3090;
    static constexpr double kFirstLabelTop = 480;
    static constexpr double kLabelHeight = 255;
    static constexpr double kRowGap = 190;
    static constexpr double kStripHeight = 735;

    // Adds a row and returns its label's top.
    double addRow();
    int rowCount() const { return int(m_labelTops.size()); }
    // The inner height: the design height until the first row is added.
    double clientHeight() const;

private:
    QVector<double> m_labelTops;
};
