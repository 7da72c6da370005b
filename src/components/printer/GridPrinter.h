// Lays a grid out on printed pages: title, column headers repeated on every page, page numbers.
#pragma once

#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace zostore::ui {
class Grid;
}

namespace zostore::components {

class GridPrinter {
public:
    GridPrinter(const ui::Grid &grid, QString title, QStringList subTitles);
    // Paints every page on the device, whose page layout is already set; returns the pages painted.
    int paint(QPagedPaintDevice &device) const;

private:
    QList<int> m_cols;         // visible columns
    QList<double> m_widths;    // their screen widths
    QStringList m_headers;
    QList<QStringList> m_rows; // visible data rows
    QList<Qt::Alignment> m_alignments;
    QString m_title;
    QStringList m_subTitles;
};

} // namespace zostore::components
