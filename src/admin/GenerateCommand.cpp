// generate: a large synthetic account set for benchmarks.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "admin/PasswordSource.h"
#include "db/Connection.h"
#include "demo/Generator.h"

namespace zostore::admin {

Command generateCommand() {
    return {
        QStringLiteral("generate"),
        QStringLiteral(
            "<名称> <数据库名> [--items N] [--stores N] [--members N] [--bills N] [--lines N] [--months N] "
            "[--password-stdin]\n"
            "      管理员 admin 的密码取自 --password-stdin、ZOSTORE_PASSWORD 或终端，都没有时随机生成并显示一次"),
        QStringLiteral("按数量生成大批量测试帐套（相同数量生成相同内容）"),
        2,
        2,
        {QStringLiteral("items"), QStringLiteral("stores"), QStringLiteral("members"),
         QStringLiteral("bills"), QStringLiteral("lines"), QStringLiteral("months")},
        {QStringLiteral("password-stdin")},
        [](Invocation &inv) {
            demo::GeneratorCounts counts;
            counts.items = inv.number(QStringLiteral("items"), counts.items);
            counts.stores = inv.number(QStringLiteral("stores"), counts.stores);
            counts.members = inv.number(QStringLiteral("members"), counts.members);
            counts.bills = inv.number(QStringLiteral("bills"), counts.bills);
            counts.lines = inv.number(QStringLiteral("lines"), counts.lines);
            counts.months = inv.number(QStringLiteral("months"), counts.months);
            demo::checkCounts(counts); // before anything is created
            const std::optional<QString> given = newPassword(inv, QStringLiteral("帐套管理员 admin"), true);
            const QString password = given ? *given : randomPassword();
            const QString hash = accountdb::hashPassword(password);
            accountdb::Catalogue cat(inv.catalogue);
            cat.create();
            demo::GeneratorResult r;
            cat.createAccountSet(inv.args[0], inv.args[1], [&](db::Connection &conn) {
                // In before the generator runs, so the set never has a password anyone could know.
                conn.execute(QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager,FDescription) "
                                            "values(1,'admin',?,1,?)"),
                             {hash, QStringLiteral("系统管理员")});
                r = demo::generateAccount(conn, counts, [&](const QString &line) {
                    inv.io->out << line << '\n';
                    inv.io->out.flush();
                });
            });
            inv.io->out << QStringLiteral("帐套“%1”已生成：单据 %2 张，分录 %3 行，余额 %4 行，共 %5 行，"
                                          "用时 %6 秒，每秒 %7 行。\n")
                               .arg(inv.args[0])
                               .arg(r.bills)
                               .arg(r.lines)
                               .arg(r.balances)
                               .arg(r.rows)
                               .arg(r.seconds, 0, 'f', 2)
                               .arg(r.rowsPerSecond(), 0, 'f', 0)
                        << (given ? QStringLiteral("登录用户：admin（密码是给出的那个）\n")
                                  : QStringLiteral("登录用户：admin / %1（随机生成，只显示这一次，请记下）\n")
                                        .arg(password));
        }};
}

} // namespace zostore::admin
