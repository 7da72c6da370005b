// Checks made when an SQLite account file is opened, before anything is read from it or registered on it.
#pragma once

struct sqlite3;

namespace zostore::db {

// Throws unless the QSQLITE driver and this layer call one and the same SQLite library. Two copies in one
// process each keep their own POSIX lock records and WAL index for the same file: one copy's close()
// drops the other's locks, and another program closing the file then deletes the WAL under it.
void requireOneSqliteLibrary();

// Whether the open file begins with the SQLite header, read through the connection's own file handle:
// opening and closing the file a second time in this process would drop every lock the process holds on it.
bool hasSqliteHeader(sqlite3 *handle);

} // namespace zostore::db
