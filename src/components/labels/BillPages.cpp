#include "components/labels/BillPages.h"

#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace zostore::components::labels {

QList<BillPage> billPages(const LabelFormat &format, db::Recordset &records) {
    LabelValues header;
    QList<LabelValues> lines;
    for (bool first = true; !records.eof(); records.moveNext(), first = false) {
        if (first)
            for (const auto &f : billHeaderFields())
                if (records.hasField(f.first))
                    header.insert(f.first, records.text(f.first));
        LabelValues line;
        for (const auto &f : billLineFields())
            if (records.hasField(f.first))
                line.insert(f.first, records.text(f.first));
        lines << line;
    }
    int capacity = 0;
    for (const LabelElement &e : format.elements)
        if (e.kind == LabelElement::Kind::Table)
            capacity = tableCapacity(e);
    if (capacity == 0 && !lines.isEmpty())
        throw Error(QStringLiteral("打印格式“%1”没有明细表，印不出单据上的商品，请在设计器里加上明细表。")
                        .arg(db::shortened(format.name)));
    const int count =
        capacity == 0 ? 1 : std::max<int>(1, static_cast<int>((lines.size() + capacity - 1) / capacity));
    QList<BillPage> pages;
    for (int p = 0; p < count; ++p) {
        BillPage page;
        page.header = header;
        page.header.insert(QStringLiteral("FPage"),
                           QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(count));
        if (capacity > 0)
            page.rows = lines.mid(p * capacity, capacity);
        pages << page;
    }
    return pages;
}

void checkBillPaper(const LabelFormat &format, QSizeF paperMm) {
    if (format.marginLeft + format.width > paperMm.width() + 0.01 ||
        format.marginTop + format.height > paperMm.height() + 0.01)
        throw Error(QStringLiteral("纸张 %1×%2 毫米放不下打印格式“%3”的页面（连同页边距 %4×%5 "
                                   "毫米），请换纸或在设计器里改小页面。")
                        .arg(paperMm.width(), 0, 'f', 0)
                        .arg(paperMm.height(), 0, 'f', 0)
                        .arg(db::shortened(format.name))
                        .arg(format.marginLeft + format.width, 0, 'f', 0)
                        .arg(format.marginTop + format.height, 0, 'f', 0));
}

int paintBillPages(QPagedPaintDevice &device, QPainter &painter, LabelRenderer &renderer,
                   const QList<BillPage> &pages, QPointF offsetMm) {
    const double pxPerMm = device.logicalDpiX() / 25.4;
    const LabelFormat &f = renderer.format();
    const QPointF topLeft = (offsetMm + QPointF(f.marginLeft, f.marginTop)) * pxPerMm;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        renderer.paint(painter, topLeft, pxPerMm, pages[i].header, pages[i].rows);
    }
    return static_cast<int>(pages.size());
}

} // namespace zostore::components::labels
