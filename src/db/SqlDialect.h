// Rewrites of one statement text for the backend that lacks a T-SQL form.
#pragma once

#include <QString>

namespace zostore::db {

// SQLite reads isnull, left and right as keywords: isnull( becomes ifnull(, left( and right( become
// the registered zs_left( and zs_right(; string literals are left alone.
QString rewriteForSqlite(const QString &sql);

} // namespace zostore::db
