// Stock per store, summed from the bills into and out of each store (opening balances carry no store).
#pragma once

#include <QString>

namespace zostore::accountdb {

// select FItemID, FStockID, FQty: one row per item and store that any bill moved.
// lineFilter is a condition on the entry line e (for instance "e.FItemID in (...)"), or "1=1".
QString storeStockSql(const QString &lineFilter = QStringLiteral("1=1"));

} // namespace zostore::accountdb
