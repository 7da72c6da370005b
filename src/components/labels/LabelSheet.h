// Where each label of a run falls on the paper, and the run painted page by page.
#pragma once

#include "components/labels/LabelRenderer.h"

#include <QList>
#include <QPointF>
#include <QSizeF>

class QPagedPaintDevice;

namespace zostore::db {
class Recordset;
}

namespace zostore::components::labels {

struct LabelData {
    int row = 0; // sheet row and column, counted from 0 over the whole run
    int col = 0;
    LabelValues values;
};

// Reads the label-data recordset: one record per label, FRow, FCol and the item fields.
QList<LabelData> labelsFromRecordset(db::Recordset &rs);

struct Placement {
    int page = 0;
    QPointF topLeft; // mm from the paper's corner
};

class LabelSheet {
public:
    // offset moves every label (the printer's own drift, set per format); throws when a row does not fit.
    LabelSheet(const LabelFormat &format, QSizeF paperMm, int columns, QPointF offsetMm = {});

    int rowsPerPage() const { return m_rowsPerPage; }
    Placement place(const LabelData &label) const;
    int pageCount(const QList<LabelData> &labels) const;
    // Paints the run onto a device already begun by painter; returns the pages used.
    int paint(QPagedPaintDevice &device, QPainter &painter, LabelRenderer &renderer,
              const QList<LabelData> &labels) const;

private:
    LabelFormat m_format;
    QPointF m_offset;
    int m_rowsPerPage = 1;
};

// Columns a run asks for: one more than its highest FCol, or the format's own count.
int columnsOf(const QList<LabelData> &labels, const LabelFormat &format);

} // namespace zostore::components::labels
