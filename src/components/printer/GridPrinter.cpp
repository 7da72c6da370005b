// Lays a grid out on printed pages.
#include "components/printer/GridPrinter.h"

#include "ui/Grid.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

namespace zostore::components {

GridPrinter::GridPrinter(const ui::Grid &grid, QString title, QStringList subTitles)
    : m_title(std::move(title)), m_subTitles(std::move(subTitles)) {
    for (int c = 0; c < grid.cols(); ++c) {
        if (grid.colHidden(c) || grid.columnWidth(c) <= 0)
            continue;
        m_cols << c;
        m_widths << grid.columnWidth(c);
        QStringList header;
        for (int r = 0; r < grid.fixedRows(); ++r)
            header << grid.textMatrix(r, c);
        m_headers << header.join(u' ').trimmed();
        // Data cells carry the column's alignment; the header's is always centred.
        const QVariant a = grid.gridModel()->rowCount() > 0
                               ? grid.gridModel()->data(grid.gridModel()->index(0, c), Qt::TextAlignmentRole)
                               : QVariant();
        m_alignments << (a.isValid() ? Qt::Alignment(a.toInt()) : Qt::Alignment(Qt::AlignLeft));
    }
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (grid.gridRowHidden(r))
            continue;
        QStringList row;
        for (int c : m_cols)
            row << grid.textMatrix(r, c);
        m_rows << row;
    }
}

int GridPrinter::paint(QPagedPaintDevice &device) const {
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const QRectF page(0, 0, device.width(), device.height());
    QFont body = p.font();
    body.setPointSizeF(9);
    QFont titleFont = body;
    titleFont.setPointSizeF(14);
    titleFont.setBold(true);
    p.setFont(body);
    const QFontMetricsF fm(body, &device);
    const double rowHeight = fm.height() * 1.5;
    const double pad = fm.averageCharWidth() * 0.5;
    const double titleHeight = QFontMetricsF(titleFont, &device).height() * 1.6 + m_subTitles.size() * rowHeight;
    const double footerHeight = rowHeight * 1.5;

    // Screen widths scale to the page; a grid narrower than the page keeps its proportions at full width.
    double total = 0;
    for (double w : m_widths)
        total += w;
    QList<double> widths;
    for (double w : m_widths)
        widths << (total > 0 ? w * page.width() / total : 0);

    const int perPage = std::max(1, static_cast<int>((page.height() - titleHeight - footerHeight) / rowHeight) - 1);
    const int pages = std::max(1, static_cast<int>(std::ceil(double(m_rows.size()) / perPage)));
    for (int pageNo = 0; pageNo < pages; ++pageNo) {
        if (pageNo > 0)
            device.newPage();
        p.setFont(titleFont);
        p.drawText(QRectF(0, 0, page.width(), titleHeight - m_subTitles.size() * rowHeight), Qt::AlignCenter, m_title);
        p.setFont(body);
        double y = titleHeight - m_subTitles.size() * rowHeight;
        for (const QString &s : m_subTitles) {
            p.drawText(QRectF(0, y, page.width(), rowHeight), Qt::AlignLeft | Qt::AlignVCenter, s);
            y += rowHeight;
        }
        auto drawRow = [&](const QStringList &cells, bool header) {
            double x = 0;
            for (int i = 0; i < cells.size(); ++i) {
                const QRectF cell(x, y, widths[i], rowHeight);
                if (header)
                    p.fillRect(cell, QColor(230, 230, 230));
                p.drawRect(cell);
                const Qt::Alignment align = header ? Qt::AlignHCenter : (m_alignments[i] & Qt::AlignHorizontal_Mask);
                p.drawText(cell.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter,
                           fm.elidedText(cells[i], Qt::ElideRight, cell.width() - 2 * pad));
                x += widths[i];
            }
            y += rowHeight;
        };
        drawRow(m_headers, true);
        for (int r = pageNo * perPage; r < std::min<int>(m_rows.size(), (pageNo + 1) * perPage); ++r)
            drawRow(m_rows[r], false);
        p.drawText(QRectF(0, page.height() - footerHeight, page.width(), footerHeight), Qt::AlignCenter,
                   QStringLiteral("第 %1 页 / 共 %2 页").arg(pageNo + 1).arg(pages));
    }
    p.end();
    return pages;
}

} // namespace zostore::components
