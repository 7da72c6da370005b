// Temporary tables that hold an intermediate result of a set-based procedure step.
#include "db/ScratchTable.h"

#include "db/Connection.h"

namespace zostore::db {

void createScratchTable(Connection &conn, const QString &name, const QString &columns) {
    QString cols = columns;
    cols.replace(QStringLiteral("%N"), conn.isSqlite() ? QStringLiteral("REAL") : QStringLiteral("numeric"));
    conn.execute(QStringLiteral("drop table if exists %1").arg(name));
    conn.execute(QStringLiteral("create temporary table %1 (%2)").arg(name, cols));
    if (conn.isPostgres()) {
        conn.execute(QStringLiteral("set local work_mem='256MB'"));
        // Compiling each statement costs more than these short scans and joins gain from it.
        conn.execute(QStringLiteral("set local jit=off"));
    }
}

void prepareScratchTable(Connection &conn, const QString &name) {
    if (conn.isPostgres())
        conn.execute(QStringLiteral("analyze %1").arg(name));
}

void dropScratchTable(Connection &conn, const QString &name) {
    conn.execute(QStringLiteral("drop table if exists %1").arg(name));
}

} // namespace zostore::db
