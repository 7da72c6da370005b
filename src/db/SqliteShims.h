// Functions the statements use that SQLite lacks, registered on each connection.
#pragma once

struct sqlite3;

namespace zostore::db {

void registerSqliteShims(sqlite3 *handle);

} // namespace zostore::db
