// What the generation window asks for: span, item range, store, multipliers, sales basis.
#pragma once

#include <QDate>
#include <QString>

namespace zostore::stocklimit {

struct GenerationRequest {
    QDate first;
    QDate last;
    QString fromItem; // empty: from "0"
    QString toItem;   // empty: to "z"
    int stockId = 0;  // below 1: item totals instead of one store's rows
    double minF = 0;
    double maxF = 0;
    double safeF = 0;
    bool ownStoreSales = true; // false: a store's limits come from every store's sales

    QString rangeFrom() const { return fromItem.isEmpty() ? QStringLiteral("0") : fromItem; }
    QString rangeTo() const { return toItem.isEmpty() ? QStringLiteral("z") : toItem; }
};

} // namespace zostore::stocklimit
