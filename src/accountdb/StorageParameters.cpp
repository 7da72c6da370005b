// Storage settings of account tables that the month's costing rewrites as a whole.
#include "accountdb/StorageParameters.h"

#include "db/Connection.h"

namespace zostore::accountdb {

void applyStorageParameters(db::Connection &conn) {
    // Each costing run gives most lines of the month one new version: with half a page free, it fits
    // beside the live row once the previous run's versions are cleared (pruned on a later visit of the
    // page, or vacuumed; a transaction left open anywhere on the server defers both).
    if (!conn.isPostgres())
        return;
    conn.execute(QStringLiteral("alter table ICStockBillEntry set (fillfactor=50)"));
    // The bill totals rewritten with the costs: room for the new version keeps every index untouched.
    conn.execute(QStringLiteral("alter table ICStockBill set (fillfactor=85)"));
}

} // namespace zostore::accountdb
