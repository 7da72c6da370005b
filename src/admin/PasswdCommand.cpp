// passwd: a new password for an existing login.
#include "admin/AccountCommands.h"

#include "accountdb/PasswordHash.h"
#include "db/Connection.h"
#include "db/Error.h"

namespace zostore::admin {

Command passwdCommand() {
    return {
        QStringLiteral("passwd"),
        QStringLiteral("<数据库名> <用户名> [--password-stdin | --password 密码]"),
        QStringLiteral("修改用户密码"),
        2,
        2,
        {QStringLiteral("password")},
        {QStringLiteral("password-stdin")},
        [](Invocation &inv) {
            const QString password = passwordFrom(inv);
            const QString cs = registeredAccount(inv, inv.args[0]);
            db::Connection conn(cs);
            if (conn.scalar(QStringLiteral("select count(*) from t_User where FName=?"), {inv.args[1]})
                    .toInt() == 0)
                throw Error(QStringLiteral("用户“%1”不存在。").arg(inv.args[1]));
            const QString hash = accountdb::hashPassword(password);
            conn.execute(QStringLiteral("update t_User set FPassword=? where FName=?"), {hash, inv.args[1]});
            inv.io->out << QStringLiteral("用户“%1”的密码已修改。\n").arg(inv.args[1]);
        }};
}

} // namespace zostore::admin
