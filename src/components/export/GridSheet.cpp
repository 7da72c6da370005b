#include "components/export/GridSheet.h"

#include "ui/Grid.h"
#include "ui/Twips.h"

namespace zostore::components::sheet {

Sheet sheetFromGrid(const ui::Grid &grid, const QString &title) {
    Sheet s;
    s.title = title;
    QList<int> cols;
    for (int c = 0; c < grid.cols(); ++c)
        if (!grid.colHidden(c) && grid.columnWidth(c) > 0)
            cols << c;
    const int fixed = std::max(1, grid.fixedRows());
    for (int r = 0; r < fixed; ++r) {
        QStringList h;
        for (int c : cols)
            h << (r < grid.fixedRows() ? grid.textMatrix(r, c) : grid.colKey(c));
        s.header << h;
    }
    for (int c : cols) {
        s.numeric << bool(grid.colAlignment(c) & Qt::AlignRight);
        s.widthsTwips << grid.colWidthTwips(c);
    }
    s.rows.reserve(grid.rows() - grid.fixedRows());
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (grid.gridRowHidden(r))
            continue;
        QStringList cells;
        cells.reserve(cols.size());
        for (int c : cols)
            cells << grid.textMatrix(r, c);
        s.rows << cells;
    }
    return s;
}

} // namespace zostore::components::sheet
