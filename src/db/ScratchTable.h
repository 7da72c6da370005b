// Temporary tables that hold an intermediate result of a set-based procedure step.
#pragma once

#include <QString>

namespace zostore::db {

class Connection;

// Creates (or recreates) a temporary table; "%N" in the column list stands for the backend's number type.
// Joining a keyed scratch table lets each backend update large tables by key instead of re-running a
// grouped subquery per row.
void createScratchTable(Connection &conn, const QString &name, const QString &columns);
// Statistics for the planner, then the large sorts of one statement kept in memory on PostgreSQL.
void prepareScratchTable(Connection &conn, const QString &name);
void dropScratchTable(Connection &conn, const QString &name);

} // namespace zostore::db
