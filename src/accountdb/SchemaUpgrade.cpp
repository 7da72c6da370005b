#include "accountdb/SchemaUpgrade.h"

#include "accountdb/Schema.h"
#include "accountdb/StorageParameters.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Transaction.h"

#include <QStringList>

namespace zostore::accountdb {

int compareVersions(const QString &a, const QString &b) {
    const QStringList x = a.split(QLatin1Char('.')), y = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        const int u = i < x.size() ? x[i].trimmed().toInt() : 0, v = i < y.size() ? y[i].trimmed().toInt() : 0;
        if (u != v)
            return u < v ? -1 : 1;
    }
    return 0;
}

static bool isCurrent(db::Connection &conn) {
    return compareVersions(readProfile(conn, QStringLiteral("Ver")), SchemaVersion) >= 0;
}

bool upgradeAccountSet(db::Connection &conn) {
    // A database without a profile is no account set of ours: nothing to bring up.
    if (!hasTable(conn, QStringLiteral("t_systemprofile")) || isCurrent(conn))
        return false;
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    // Another workstation may have upgraded while this one waited for the lock.
    if (isCurrent(conn))
        return false;
    for (const TableDef &t : accountTables())
        ensureTable(conn, t.name);
    // Columns later versions added to tables an older set already has.
    const std::pair<const char *, const char *> added[] = {{"t_User", "FDisabled"},
                                                           {"Vip", "FBalance"},
                                                           {"Vip", "FExpiryDate"},
                                                           {"Vip", "FState"},
                                                           {"Vip", "FDel"},
                                                           {"ICStockBillEntry", "FSourceInterID"},
                                                           {"ICStockBillEntry", "FSourceEntryID"}};
    for (const auto &[table, column] : added)
        if (!hasColumn(conn, QString::fromLatin1(table), QString::fromLatin1(column)))
            conn.execute(
                QStringLiteral("alter table %1 add column ").arg(QString::fromLatin1(table)) +
                columnDefinition(*findTable(QString::fromLatin1(table))->column(QString::fromLatin1(column)),
                                 conn.isPostgres()));
    // Cards an older program let repeat keep working; the members module still refuses new repeats.
    if (conn.scalar(QStringLiteral("select count(*) from (select FCardNo from Vip where FCardNo is not null "
                                   "group by FCardNo having count(*)>1) d"))
            .toInt() == 0)
        conn.execute(QStringLiteral("create unique index if not exists ix_vip_card on Vip (FCardNo)"));
    applyStorageParameters(conn);
    rebuildStoreStock(conn);
    writeProfile(conn, QStringLiteral("Ver"), SchemaVersion, QStringLiteral("数据库版本"));
    tx.commit();
    return true;
}

bool upgradeAccountSet(const QString &cnstr) {
    db::Connection conn(cnstr);
    return upgradeAccountSet(conn);
}

} // namespace zostore::accountdb
