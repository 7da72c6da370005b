// Bodies of sp_ClosePeriod and sp_UnClosePeriod.
#pragma once

#include "db/Recordset.h"

namespace zostore::db {
class Connection;
class ProcArgs;
}

namespace zostore::period {

db::Recordset spClosePeriod(db::Connection &conn, const db::ProcArgs &args);
db::Recordset spUnClosePeriod(db::Connection &conn, const db::ProcArgs &args);

// The two undo tables of the closing; creates them in an account set made before they existed.
void ensureClosingLogTables(db::Connection &conn);

} // namespace zostore::period
