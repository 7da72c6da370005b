// Stock per item and store: month openings split by store (icstockbal) and today's stock (ICInventory).
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

// select FItemID, FStockID, FQty, FBal: the signed movement of each entry line of the bills t1 that
// billCondition selects, in the store it moves: receipts into FInStockID, issues out of FOutStockID,
// transfers out of one and into the other. A bill without its store counts as store 0, so the stores
// always add up to the item. The condition appears twice: bind its parameters twice.
QString storeMovementLinesSql(const QString &billCondition);

// select FItemID, FStockID, FQty, FBal: one month's openings per store, with any part of an item's
// opening that no store row accounts for as store 0. Parameters: year, period three times.
QString storeOpeningSql();

// Fills the scratch table `table` (FItemID, FStockID, FQty, FBal) with each store's stock and value at
// the end of month (year, period): its opening and the month's bills.
void computeStoreEnding(db::Connection &conn, const QString &table, int year, int period);

// Replaces icstockbal(year, period) with the rows of an ending table, rounded as icbal is and made to
// add up to icbal(year, period) exactly.
void writeStoreOpenings(db::Connection &conn, const QString &table, int year, int period);

// What icstockbal(year, period) lacks or has too much against icbal(year, period) goes to each item's
// largest store, or to store 0 when the item has no store row.
void alignStoreOpenings(db::Connection &conn, int year, int period);

// ICInventory anew from the current month's openings and the bills of that month and later.
void rebuildStoreStock(db::Connection &conn);

struct StoreStockDifference {
    int itemId = 0;
    int stockId = 0;
    double kept = 0;
    double computed = 0;
};
// Rows where ICInventory differs from what the openings and bills give, by store and item.
QList<StoreStockDifference> storeStockDifferences(db::Connection &conn);

} // namespace zostore::accountdb
