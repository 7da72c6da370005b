// demo: the demo account set, loaded into a new database.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "admin/PasswordSource.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"

namespace zostore::admin {

Command demoCommand() {
    return {
        QStringLiteral("demo"),
        QStringLiteral("[--name 演示帐套] [--db zs_demo] [--replace] [--password-stdin]\n"
                       "      管理员 admin 的密码取自 --password-stdin 或 ZOSTORE_PASSWORD，都没有时是说明里的 admin123"),
        QStringLiteral("建立演示帐套（--replace 先删除同名的旧演示帐套）"),
        0,
        0,
        {QStringLiteral("name"), QStringLiteral("db")},
        {QStringLiteral("replace"), QStringLiteral("password-stdin")},
        [](Invocation &inv) {
            // The documented demo logins stay true unless the administrator's password is given; never asked,
            // so the set-up script runs unattended.
            std::optional<QString> adminPassword;
            if (inv.flag(QStringLiteral("password-stdin")) || !qEnvironmentVariable(PasswordVariable).isEmpty())
                adminPassword = newPassword(inv, QStringLiteral("演示帐套管理员 admin"));
            const QString adminHash = adminPassword ? accountdb::hashPassword(*adminPassword) : QString();
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
            demo::DemoSummary s;
            cat.createAccountSet(name, file, [&](db::Connection &conn) {
                s = demo::loadDemoAccount(conn);
                if (adminPassword)
                    for (const auto &l : demo::demoLogins())
                        if (l.manager)
                            conn.execute(QStringLiteral("update t_User set FPassword=? where FName=?"),
                                         {adminHash, l.name});
            });
            inv.io->out << QStringLiteral("演示帐套“%1”已建立（数据库 %2）：商品 %3 种，会员 %4 人，单据 %5 张（%6 行），"
                                          "采购订单 %7 张，启用月份 %8。\n")
                               .arg(name, file)
                               .arg(s.items)
                               .arg(s.members)
                               .arg(s.bills)
                               .arg(s.billLines)
                               .arg(s.orders)
                               .arg(s.startMonth.toString(QStringLiteral("yyyy-MM")));
            inv.io->out << QStringLiteral("登录用户：\n");
            for (const auto &l : demo::demoLogins())
                inv.io->out << QStringLiteral("  %1 / %2%3\n")
                                   .arg(l.name,
                                        adminPassword && l.manager ? QStringLiteral("（给出的密码）") : l.password,
                                        l.manager ? QStringLiteral("（管理员）") : QString());
        }};
}

} // namespace zostore::admin
