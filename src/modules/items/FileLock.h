// Serialises writers of one master file, so two workstations adding the same code end with one row.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::items {

// Inside the current transaction: on PostgreSQL a transaction-level advisory lock per table; SQLite's
// immediate transaction already holds the only write lock.
void lockFile(db::Connection &conn, const QString &table);

// The next key of a master table, read under lockFile.
int nextKey(db::Connection &conn, const QString &table, const QString &keyColumn = QStringLiteral("FItemID"));

} // namespace zostore::modules::items
