// Body of sp_CacuCost: monthly weighted average cost of the account's current month.
#pragma once

#include "db/Recordset.h"

namespace zostore::db {
class Connection;
class ProcArgs;
}

namespace zostore::period {

db::Recordset spCacuCost(db::Connection &conn, const db::ProcArgs &args);

} // namespace zostore::period
