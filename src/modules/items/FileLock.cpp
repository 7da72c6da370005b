#include "modules/items/FileLock.h"

#include "db/Connection.h"
#include "db/Error.h"

namespace zostore::modules::items {

namespace {

// The two-key advisory space, apart from the one-key space of the account-set lock.
constexpr int FileLockClass = 0x5A6F;

int tableKey(const QString &table) {
    // The same on every workstation, unlike qHash with its per-process seed.
    quint32 h = 0;
    for (QChar c : table.toLower())
        h = h * 31u + c.unicode();
    return static_cast<int>(h & 0x7fffffffu);
}

} // namespace

void lockFile(db::Connection &conn, const QString &table) {
    if (!conn.inTransaction())
        throw Error(QStringLiteral("档案锁只能在事务中取得。"));
    if (conn.isPostgres())
        conn.scalar(QStringLiteral("select pg_advisory_xact_lock(cast(? as integer), cast(? as integer))"),
                    {FileLockClass, tableKey(table)});
}

int nextKey(db::Connection &conn, const QString &table, const QString &keyColumn) {
    // Table and column names come from this module's own constants, never from input.
    return conn.scalar(QStringLiteral("select coalesce(max(%1),0)+1 from %2").arg(keyColumn, table)).toInt();
}

} // namespace zostore::modules::items
