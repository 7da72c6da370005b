// A bill printed by its print format: the lines spread over pages as the format's lines table holds them.
#pragma once

#include "components/labels/LabelRenderer.h"

#include <QList>
#include <QSizeF>

class QPagedPaintDevice;

namespace zostore::db {
class Recordset;
}

namespace zostore::components::labels {

struct BillPage {
    LabelValues header; // the bill's header fields, FPage set to this page
    QList<LabelValues> rows;
};

// Reads the bill records (one per line, the header fields on each) into pages; throws when the format has
// lines to place and no table to hold them.
QList<BillPage> billPages(const LabelFormat &format, db::Recordset &records);

// Refuses a page that does not fit the paper, before any output begins.
void checkBillPaper(const LabelFormat &format, QSizeF paperMm);

// Paints the pages onto a device already begun by painter, one a sheet; returns the pages used.
int paintBillPages(QPagedPaintDevice &device, QPainter &painter, LabelRenderer &renderer,
                   const QList<BillPage> &pages, QPointF offsetMm = {});

} // namespace zostore::components::labels
