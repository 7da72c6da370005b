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

} // namespace zostore::period
