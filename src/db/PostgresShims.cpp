// SQL function definitions that give PostgreSQL the names the statements use.
#include "db/PostgresShims.h"

namespace zostore::db {

QStringList postgresShimStatements() {
    return {
        QStringLiteral("create or replace function isnull(anycompatible, anycompatible) returns anycompatible "
                       "language sql immutable as 'select coalesce($1, $2)'"),
        QStringLiteral("create or replace function getdate() returns timestamp language sql stable as "
                       "'select localtimestamp(0)'"),
        QStringLiteral("create or replace function year(timestamp) returns integer language sql immutable as "
                       "'select extract(year from $1)::integer'"),
        QStringLiteral("create or replace function month(timestamp) returns integer language sql immutable as "
                       "'select extract(month from $1)::integer'"),
        QStringLiteral("create or replace function day(timestamp) returns integer language sql immutable as "
                       "'select extract(day from $1)::integer'"),
        QStringLiteral("create or replace function len(text) returns integer language sql immutable as "
                       "'select length(rtrim($1, '' ''))'"),
        // convert(int, x) truncates; a cast would round
        QStringLiteral("create or replace function toint(numeric) returns bigint language sql immutable as "
                       "'select trunc($1)::bigint'"),
        QStringLiteral("create or replace function toint(double precision) returns bigint language sql immutable "
                       "as 'select trunc($1)::bigint'"),
        QStringLiteral("create or replace function eomonth(timestamp) returns timestamp language sql immutable as "
                       "'select (date_trunc(''month'', $1) + interval ''1 month'' - interval ''1 day'')::date::timestamp'"),
        QStringLiteral("create or replace function adddays(timestamp, integer) returns timestamp language sql "
                       "immutable as 'select $1 + make_interval(days => $2)'"),
    };
}

} // namespace zostore::db
