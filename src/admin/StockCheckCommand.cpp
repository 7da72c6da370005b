// check-stock: today's stock per store held against what the openings and bills give.
#include "admin/StockCheckCommand.h"

#include "accountdb/StoreStock.h"
#include "admin/BatchLogin.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "startup/LoginContext.h"

namespace zostore::admin {

namespace {

constexpr int ShownDifferences = 20;

QString nameOf(db::Connection &conn, const QString &table, int id) {
    const QVariant v = conn.scalar(QStringLiteral("select FNumber from %1 where FItemID=?").arg(table), {id});
    return v.isNull() ? QStringLiteral("#%1").arg(id) : v.toString();
}

} // namespace

Command checkStockCommand() {
    return {QStringLiteral("check-stock"), QStringLiteral("<数据库名> --user 用户名 [--repair]"),
            QStringLiteral("按期初余额和单据核对各仓库的现有库存（--repair 由管理员重算）"), 1, 1,
            {QStringLiteral("user")}, {QStringLiteral("repair")},
            [](Invocation &inv) {
                const QString cs = loginAndCheck(inv, {});
                const bool repair = inv.flag(QStringLiteral("repair"));
                if (repair && !startup::loginContext().isManager())
                    throw Error(QStringLiteral("%1（只有管理员能重算库存）/ Access denied (a manager's login is "
                                               "needed to repair).")
                                    .arg(Error::accessDenied().description()));
                db::Connection conn(cs);
                db::Transaction tx(conn, repair ? db::Transaction::Lock::Books : db::Transaction::Lock::None);
                const QList<accountdb::StoreStockDifference> diffs = accountdb::storeStockDifferences(conn);
                if (diffs.isEmpty()) {
                    inv.io->out << QStringLiteral("各仓库的现有库存与期初余额和单据一致。/ Stock per store matches "
                                                  "the openings and bills.\n");
                    return;
                }
                for (qsizetype i = 0; i < diffs.size() && i < ShownDifferences; ++i) {
                    const auto &d = diffs[i];
                    inv.io->out << QStringLiteral("商品 %1 仓库 %2：记录 %3，按单据应为 %4\n")
                                       .arg(nameOf(conn, QStringLiteral("t_ICItem"), d.itemId),
                                            d.stockId == 0 ? QStringLiteral("(无仓库)")
                                                           : nameOf(conn, QStringLiteral("t_Stock"), d.stockId))
                                       .arg(d.kept, 0, 'f', 4)
                                       .arg(d.computed, 0, 'f', 4);
                }
                if (!repair) {
                    inv.io->out << QStringLiteral("共 %1 处不一致，未做修改（管理员可加 --repair 重算）。/ %1 "
                                                  "differences; nothing changed.\n")
                                       .arg(diffs.size());
                    inv.exitCode = 1;
                    return;
                }
                accountdb::rebuildStoreStock(conn);
                tx.commit();
                inv.io->out << QStringLiteral("共 %1 处不一致，已按期初余额和单据重算。/ %1 differences "
                                              "repaired.\n")
                                   .arg(diffs.size());
            }};
}

} // namespace zostore::admin
