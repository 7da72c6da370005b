#include "modules/bills/BillLabels.h"

#include "db/Error.h"

#include <cmath>

namespace zostore::modules::bills {

QList<components::labels::LabelItem> billLabels(db::Connection &conn, const Bill &bill, LabelCount count) {
    QList<int> ids;
    for (const BillLine &l : bill.lines)
        if (!ids.contains(l.itemId))
            ids << l.itemId;
    const auto items = components::labels::LabelItems(conn).forItems(ids);
    QList<components::labels::LabelItem> out;
    for (const BillLine &l : bill.lines) {
        if (!items.contains(l.itemId))
            throw Error(QStringLiteral("单据 %1 上的商品（%2）在商品资料中已经不存在，不能打印它的条形码。")
                            .arg(bill.billNo, l.number.isEmpty() ? QString::number(l.itemId) : l.number));
        components::labels::LabelItem item = items.value(l.itemId);
        // A part unit still needs its own label; the list caps a row at 9999.
        item.count = count == LabelCount::PerLine
                         ? 1
                         : int(std::clamp(std::ceil(std::abs(l.qty) - 0.00005), 1.0, 9999.0));
        out << item;
    }
    return out;
}

} // namespace zostore::modules::bills
