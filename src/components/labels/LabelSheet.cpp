// Pages follow the data's own rows, so a run prints the same on every printer with the same paper.
#include "components/labels/LabelSheet.h"

#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zostore::components::labels {

QList<LabelData> labelsFromRecordset(db::Recordset &rs) {
    QList<LabelData> out;
    QStringList fields;
    for (const auto &f : labelFields())
        if (rs.hasField(f.first))
            fields << f.first;
    for (; !rs.eof(); rs.moveNext()) {
        LabelData d;
        d.row = rs.hasField(QStringLiteral("FRow")) ? rs.toInt(QStringLiteral("FRow")) : static_cast<int>(out.size());
        d.col = rs.hasField(QStringLiteral("FCol")) ? rs.toInt(QStringLiteral("FCol")) : 0;
        for (const QString &f : fields)
            d.values.insert(f, rs.text(f));
        out.append(d);
    }
    return out;
}

int columnsOf(const QList<LabelData> &labels, const LabelFormat &format) {
    int highest = -1;
    for (const LabelData &d : labels)
        highest = std::max(highest, d.col);
    return highest >= 0 ? highest + 1 : format.columns;
}

LabelSheet::LabelSheet(const LabelFormat &format, QSizeF paperMm, int columns, QPointF offsetMm)
    : m_format(format), m_offset(offsetMm) {
    const double rowWidth = format.marginLeft + columns * format.width + (columns - 1) * format.gapX;
    if (rowWidth > paperMm.width() + 0.01)
        throw Error(QStringLiteral("纸宽 %1 毫米放不下每行 %2 张宽 %3 毫米的标签（需要 %4 毫米），请减少每行标签数或换纸。")
                        .arg(paperMm.width(), 0, 'f', 0)
                        .arg(columns)
                        .arg(format.width, 0, 'f', 0)
                        .arg(rowWidth, 0, 'f', 0));
    if (format.marginTop + format.height > paperMm.height() + 0.01)
        throw Error(QStringLiteral("纸高 %1 毫米放不下高 %2 毫米的标签“%3”。")
                        .arg(paperMm.height(), 0, 'f', 0)
                        .arg(format.height, 0, 'f', 0)
                        .arg(db::shortened(format.name)));
    m_rowsPerPage = std::max(
        1, static_cast<int>(std::floor((paperMm.height() - format.marginTop + format.gapY + 0.01) /
                                       (format.height + format.gapY))));
}

Placement LabelSheet::place(const LabelData &label) const {
    const int row = std::max(0, label.row);
    const int inPage = row % m_rowsPerPage;
    return {row / m_rowsPerPage,
            QPointF(m_offset.x() + m_format.marginLeft + std::max(0, label.col) * (m_format.width + m_format.gapX),
                    m_offset.y() + m_format.marginTop + inPage * (m_format.height + m_format.gapY))};
}

int LabelSheet::pageCount(const QList<LabelData> &labels) const {
    int pages = 0;
    for (const LabelData &d : labels)
        pages = std::max(pages, place(d).page + 1);
    return pages;
}

int LabelSheet::paint(QPagedPaintDevice &device, QPainter &painter, LabelRenderer &renderer,
                      const QList<LabelData> &labels) const {
    const double pxPerMm = device.logicalDpiX() / 25.4;
    // Pages can only go forward, so a run given out of order is put in row order first.
    QList<LabelData> ordered = labels;
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto &a, const auto &b) { return a.row < b.row; });
    int current = 0;
    for (const LabelData &d : ordered) {
        const Placement p = place(d);
        while (current < p.page) {
            device.newPage();
            ++current;
        }
        renderer.paint(painter, p.topLeft * pxPerMm, pxPerMm, d.values);
    }
    return labels.isEmpty() ? 0 : current + 1;
}

} // namespace zostore::components::labels
