// Reference for the latest-purchase-price costing: one statement per bill, as the calculation was first written.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::test {

// The statement run for one bill: parameters the bill's date and its FInterID. When the latest receipt holds
// the item twice, its last line wins.
QString lastPriceByBillSql();

// Costs every bill of the month one by one, then values the bills kept at cost; returns the bills visited.
int lastPurchasePriceByBill(db::Connection &conn, int year, int period);

} // namespace zostore::test
