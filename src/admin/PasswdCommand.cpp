// passwd: a new password for an existing login.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "admin/BatchLogin.h"
#include "admin/PasswordSource.h"
#include "db/MessageText.h"
#include "db/Connection.h"
#include "db/Error.h"

namespace zostore::admin {

Command passwdCommand() {
    return {
        QStringLiteral("passwd"),
        QStringLiteral("<数据库名> <用户名> [--user 管理员] [--password-stdin]\n"
                       "      先验证本人的原密码（改别人的密码时验证 --user 管理员的密码）：取自 ZOSTORE_PASSWORD，"
                       "否则取自 --password-stdin 的第一行或终端；\n"
                       "      新密码取自 --password-stdin 的下一行，否则取自终端（两次）"),
        QStringLiteral("修改用户密码"),
        2,
        2,
        {QStringLiteral("user")},
        {},
        [](Invocation &inv) {
            const QString target = inv.args[1];
            const QString cs = registeredAccount(inv, inv.args[0]);
            if (db::Connection(cs)
                    .scalar(QStringLiteral("select count(*) from t_User where FName=?"), {target})
                    .toInt() == 0)
                throw Error(QStringLiteral("用户“%1”不存在。").arg(db::shortened(target)));
            const QString acting = inv.option(QStringLiteral("user"), target);
            const BatchUser user = verifyLogin(inv, cs, acting);
            if (acting != target && !user.manager)
                throw Error(QStringLiteral("%1（只有管理员能改别人的密码）/ Access denied (a manager's login is "
                                           "needed).")
                                .arg(Error::accessDenied().description()));
            const std::optional<QString> password = newPassword(inv, QStringLiteral("用户“%1”").arg(target));
            if (!password)
                throw UsageError(QStringLiteral("需要用户“%1”的新密码：%2").arg(db::shortened(target), passwordHelp()));
            const QString hash = accountdb::hashPassword(*password);
            db::Connection(cs).execute(QStringLiteral("update t_User set FPassword=? where FName=?"),
                                       {hash, target});
            inv.io->out << QStringLiteral("用户“%1”的密码已修改。\n").arg(target);
        }};
}

} // namespace zostore::admin
