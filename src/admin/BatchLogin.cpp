// Logging a batch command in as a named user, the way the main window would, and checking its grants.
#include "admin/BatchLogin.h"

#include "admin/AccountCommands.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/CheckGrant.h"
#include "startup/LoginContext.h"

namespace zostore::admin {

QString loginAndCheck(const Invocation &inv, const QStringList &grants) {
    const QString login = inv.option(QStringLiteral("user"));
    if (login.isEmpty())
        throw UsageError(QStringLiteral("请用 --user 给出用户名。"));
    const QString cs = registeredAccount(inv, inv.args[0]);
    db::Connection conn(cs);
    auto rs = conn.open(QStringLiteral("select FUserID,FManager from t_User where FName=?"), {login});
    if (rs.eof())
        throw Error(QStringLiteral("用户“%1”不存在。/ No user \"%1\".").arg(login));
    auto &ctx = startup::loginContext();
    ctx.setLogin(rs.toInt(QStringLiteral("FUserID")), login, cs, QString(), inv.args[0]);
    ctx.setIsManager(rs.toInt(QStringLiteral("FManager")) != 0);
    for (const QString &g : grants) {
        try {
            startup::CheckGrant(g);
        } catch (const Error &e) {
            throw Error(QStringLiteral("%1（权限 %2）/ Access denied (grant %2).").arg(e.description(), g),
                        e.number());
        }
    }
    return cs;
}

} // namespace zostore::admin
