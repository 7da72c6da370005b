// Storage settings of account tables that the month's costing rewrites as a whole.
#pragma once

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

// PostgreSQL: bill lines leave half of each page free, so that rewriting a month's unit costs keeps
// each new row version on its page (a heap-only update) instead of appending it elsewhere and adding
// it to every index of the table. Applies to pages written from now on; nothing to do on SQLite,
// which rewrites rows in place.
void applyStorageParameters(db::Connection &conn);

} // namespace zostore::accountdb
