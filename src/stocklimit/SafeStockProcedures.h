// Rp_Define_MaxMinStock: items of a condition with each real store's limits and current stock.
#pragma once

#include "db/Recordset.h"

namespace zostore::db {
class Connection;
class ProcArgs;
}

namespace zostore::stocklimit {

// One record per item and real store, all records of one item adjacent (ordered by FNumber, then store).
// @UserSql is a condition on the items aliased t1; deleted items are left out.
db::Recordset rpDefineMaxMinStock(db::Connection &conn, const db::ProcArgs &args);

void registerStockLimitProcedures();

} // namespace zostore::stocklimit
