// demo: the demo account set, loaded into a new database.
#include "admin/AccountCommands.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"

namespace zostore::admin {

Command demoCommand() {
    return {
        QStringLiteral("demo"),
        QStringLiteral("[--name 演示帐套] [--db zs_demo] [--replace]"),
        QStringLiteral("建立演示帐套（--replace 先删除同名的旧演示帐套）"),
        0,
        0,
        {QStringLiteral("name"), QStringLiteral("db")},
        {QStringLiteral("replace")},
        [](Invocation &inv) {
            const QString name = inv.option(QStringLiteral("name"), QStringLiteral("演示帐套"));
            const QString file = inv.option(QStringLiteral("db"), QStringLiteral("zs_demo"));
            accountdb::Catalogue cat(inv.catalogue);
            cat.create();
            accountdb::Catalogue::checkDatabaseName(file);
            const QString registered = cat.nameOf(file);
            if (!registered.isEmpty()) {
                if (!inv.flag(QStringLiteral("replace")))
                    throw Error(QStringLiteral("帐套数据库“%1”已存在（帐套“%2”）；要重建请加 --replace。")
                                    .arg(file, registered));
                cat.removeAccountSet(file);
                inv.io->out << QStringLiteral("已删除旧帐套“%1”。\n").arg(registered);
            }
            const QString cs = cat.createAccountSet(name, file);
            try {
                db::Connection conn(cs);
                const auto s = demo::loadDemoAccount(conn);
                inv.io->out
                    << QStringLiteral(
                           "演示帐套“%1”已建立（数据库 %2）：商品 %3 种，会员 %4 人，单据 %5 张（%6 行），"
                           "采购订单 %7 张，启用月份 %8。\n")
                           .arg(name, file)
                           .arg(s.items)
                           .arg(s.members)
                           .arg(s.bills)
                           .arg(s.billLines)
                           .arg(s.orders)
                           .arg(s.startMonth.toString(QStringLiteral("yyyy-MM")));
            } catch (...) {
                cat.removeAccountSet(file);
                throw;
            }
            inv.io->out << QStringLiteral("登录用户：\n");
            for (const auto &l : demo::demoLogins())
                inv.io->out << QStringLiteral("  %1 / %2%3\n")
                                   .arg(l.name, l.password,
                                        l.manager ? QStringLiteral("（管理员）") : QString());
        }};
}

} // namespace zostore::admin
