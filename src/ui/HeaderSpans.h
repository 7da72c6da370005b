// Which header cells of several header rows show as one: equal neighbours under the same upper cell.
#pragma once

#include <QList>
#include <QStringList>

namespace zostore::ui {

// Rows and columns inclusive.
struct HeaderSpan {
    int firstRow, firstCol, lastRow, lastCol;
    bool contains(int row, int col) const {
        return row >= firstRow && row <= lastRow && col >= firstCol && col <= lastCol;
    }
};

// With two or more rows: runs of equal non-empty texts along a row merge, a lower run never crossing a
// boundary of the rows above; a column whose rows all agree merges downwards. One row merges nothing.
QList<HeaderSpan> headerSpans(const QList<QStringList> &header);

} // namespace zostore::ui
