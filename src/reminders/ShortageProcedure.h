// Items under their minimum (or over their maximum) stock, in one store (from its bills) or in total (from
// the books).
#pragma once

namespace zostore::db {
class Connection;
class ProcArgs;
class Recordset;
} // namespace zostore::db

namespace zostore::reminders {

// @ShowType 1: stock below the minimum; 2: stock above the maximum. @UserSql: a condition on t1 (t_ICItem).
// @stockname: a store's name, or empty for the item totals.
db::Recordset rpShortageAndOver(db::Connection &conn, const db::ProcArgs &args);

void registerReminderProcedures();

} // namespace zostore::reminders
