// How each bill type moves an item's stock quantity and value; one rule for costing and closing.
#pragma once

#include <QString>

namespace zostore::accountdb {

// Purchase receipts bring value at their amount; every other movement is valued at its cost.
// Returns carry positive quantities, their bill type gives the direction:
// in: 12 purchase, 15 other receipt, 16 further receipt, 24 sales return;
// out: 14 purchase return, 22 sales, 25 other issue, 26 further issue, 33, 99 counter sale.
// Transfers (31) move stock between stores and leave the item's total unchanged.
inline const QString inTypes = QStringLiteral("12,15,16,24");
inline const QString outTypes = QStringLiteral("14,22,25,26,33,99");
// Types that take the month's cost in the weighted average.
inline const QString costTakingTypes = QStringLiteral("14,15,16,22,24,25,26,31,33,99");

// Signed quantity and value of one entry line t2 of bill t1.
QString movementQtySql();
QString movementValueSql();

// select FItemID, FQty, FBal: the signed movement per item of the non-deleted bills of one month
// (two parameters: year, period).
QString monthMovementSql();
// The same, one row per entry line, not summed.
QString monthMovementLinesSql();

// SQL rounding that both backends store alike (PostgreSQL rounds numeric, not double precision).
QString roundSql(const QString &expr, int decimals);

} // namespace zostore::accountdb
