// add-user: a login for an account set, with its password hash and grants.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"

#include <QRegularExpression>

namespace zostore::admin {

namespace {
QStringList grantCodes(const QString &list) {
    static const QRegularExpression code(QStringLiteral("^([0-9]{3}|R[0-9]{2,8})$"));
    QStringList codes;
    for (const QString &part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString c = part.trimmed();
        if (!code.match(c).hasMatch())
            throw Error(
                QStringLiteral("权限代码“%1”无效：应为三位数字（如 101）或 R 加报表组和报表号（如 R15）。")
                    .arg(c));
        if (!codes.contains(c))
            codes << c;
    }
    return codes;
}
} // namespace

Command addUserCommand() {
    return {
        QStringLiteral("add-user"),
        QStringLiteral(
            "<数据库名> <用户名> [--manager] [--password-stdin | --password 密码] [--grant 101,102,...]"),
        QStringLiteral("添加用户（密码只保存摘要）"),
        2,
        2,
        {QStringLiteral("password"), QStringLiteral("grant")},
        {QStringLiteral("manager"), QStringLiteral("password-stdin")},
        [](Invocation &inv) {
            const QString login = inv.args[1].trimmed();
            if (login.isEmpty() || login.size() > 80)
                throw Error(QStringLiteral("用户名不能为空，最长80个字符。"));
            const QStringList codes = grantCodes(inv.option(QStringLiteral("grant")));
            const QString password = passwordFrom(inv);
            const QString cs = registeredAccount(inv, inv.args[0]);
            const QString hash = accountdb::hashPassword(password);
            db::Connection conn(cs);
            db::Transaction tx(conn);
            if (conn.scalar(QStringLiteral("select count(*) from t_User where FName=?"), {login}).toInt() > 0)
                throw Error(QStringLiteral("用户“%1”已经存在。").arg(login));
            const int id =
                conn.scalar(QStringLiteral("select coalesce(max(FUserID),0)+1 from t_User")).toInt();
            const bool manager = inv.flag(QStringLiteral("manager"));
            conn.execute(
                QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager) values(?,?,?,?)"),
                {id, login, hash, manager ? 1 : 0});
            auto grant = conn.prepare(
                QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,1)"));
            for (const QString &c : codes)
                grant.exec({id, c});
            tx.commit();
            inv.io->out << QStringLiteral("用户“%1”已添加（编号 %2%3，权限 %4 项）。\n")
                               .arg(login)
                               .arg(id)
                               .arg(manager ? QStringLiteral("，管理员") : QString())
                               .arg(codes.size());
        }};
}

} // namespace zostore::admin
