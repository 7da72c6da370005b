// The same functions on PostgreSQL, created as SQL functions with the schema.
#pragma once

#include <QStringList>

namespace zostore::db {

QStringList postgresShimStatements();

} // namespace zostore::db
