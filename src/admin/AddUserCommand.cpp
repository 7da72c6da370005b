// add-user: a login for an account set, with its password hash and grants.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "admin/BatchLogin.h"
#include "admin/PasswordSource.h"
#include "db/MessageText.h"
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
                    .arg(db::shortened(c)));
        if (!codes.contains(c))
            codes << c;
    }
    return codes;
}
} // namespace

Command addUserCommand() {
    return {
        QStringLiteral("add-user"),
        QStringLiteral("<数据库名> <用户名> [--manager] [--grant 101,102,...] [--user 管理员] [--password-stdin]\n"
                       "      帐套已有用户时须以管理员登录：管理员的密码取自 ZOSTORE_PASSWORD，否则取自 "
                       "--password-stdin 的第一行或终端；\n"
                       "      新用户的密码取自 --password-stdin 的下一行，否则取自终端（两次）；"
                       "空帐套的第一个用户也可取自 ZOSTORE_PASSWORD"),
        QStringLiteral("添加用户（密码只保存摘要）"),
        2,
        2,
        {QStringLiteral("grant"), QStringLiteral("user")},
        {QStringLiteral("manager")},
        [](Invocation &inv) {
            const QString login = inv.args[1].trimmed();
            if (login.isEmpty() || login.size() > 80)
                throw Error(QStringLiteral("用户名不能为空，最长80个字符。"));
            const QStringList codes = grantCodes(inv.option(QStringLiteral("grant")));
            const QString cs = registeredAccount(inv, inv.args[0]);
            const std::optional<BatchUser> manager = requireManager(inv, cs);
            const std::optional<QString> password = newPassword(inv, QStringLiteral("用户“%1”").arg(login));
            if (!password)
                throw UsageError(QStringLiteral("需要新用户“%1”的密码：%2").arg(db::shortened(login), passwordHelp()));
            const QString hash = accountdb::hashPassword(*password);
            db::Connection conn(cs);
            // Under the account-set lock, so two first users cannot both find the set empty.
            db::Transaction tx(conn, db::Transaction::Lock::Books);
            if (!manager && conn.scalar(QStringLiteral("select count(*) from t_User")).toInt() > 0)
                throw Error(QStringLiteral("帐套里刚有人添加了用户：请用 --user 以管理员身份登录后再添加。"));
            if (conn.scalar(QStringLiteral("select count(*) from t_User where FName=?"), {login}).toInt() > 0)
                throw Error(QStringLiteral("用户“%1”已经存在。").arg(login));
            const int id =
                conn.scalar(QStringLiteral("select coalesce(max(FUserID),0)+1 from t_User")).toInt();
            const bool asManager = inv.flag(QStringLiteral("manager"));
            conn.execute(
                QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager) values(?,?,?,?)"),
                {id, login, hash, asManager ? 1 : 0});
            auto grant = conn.prepare(
                QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,1)"));
            for (const QString &c : codes)
                grant.exec({id, c});
            tx.commit();
            inv.io->out << QStringLiteral("用户“%1”已添加（编号 %2%3，权限 %4 项）。\n")
                               .arg(login)
                               .arg(id)
                               .arg(asManager ? QStringLiteral("，管理员") : QString())
                               .arg(codes.size());
        }};
}

} // namespace zostore::admin
