// Logging a batch command in as a named user, the way the main window would, and checking its grants.
#include "admin/BatchLogin.h"

#include "admin/AccountCommands.h"
#include "admin/PasswordSource.h"
#include "components/LoginService.h"
#include "db/MessageText.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/CheckGrant.h"
#include "startup/LoginContext.h"

namespace zostore::admin {

namespace {

QString userOption(const Invocation &inv) {
    const QString login = inv.option(QStringLiteral("user"));
    if (login.isEmpty())
        throw UsageError(QStringLiteral("请用 --user 给出用户名。"));
    return login;
}

} // namespace

BatchUser verifyLogin(const Invocation &inv, const QString &cnstr, const QString &login) {
    std::optional<BatchUser> user;
    {
        db::Connection conn(cnstr);
        auto rs = conn.open(QStringLiteral("select FUserID,FManager from t_User where FName=?"), {login});
        if (rs.eof())
            throw Error(QStringLiteral("用户“%1”不存在。/ No user \"%1\".").arg(db::shortened(login)));
        user = BatchUser{rs.toInt(QStringLiteral("FUserID")), login, rs.toInt(QStringLiteral("FManager")) != 0};
    }
    const QString password = loginPassword(inv, login);
    if (!components::LoginService::authenticate(cnstr, login, password))
        throw Error(components::LoginService::wrongPasswordMessage());
    return *user;
}

QString loginAndCheck(const Invocation &inv, const QStringList &grants) {
    const QString login = userOption(inv);
    const QString cs = registeredAccount(inv, inv.args[0]);
    const BatchUser user = verifyLogin(inv, cs, login);
    auto &ctx = startup::loginContext();
    ctx.setLogin(user.id, login, cs, QString(), inv.args[0]);
    ctx.setIsManager(user.manager);
    for (const QString &g : grants) {
        try {
            if (!startup::CheckGrant(g))
                throw Error::accessDenied();
        } catch (const Error &e) {
            throw Error(QStringLiteral("%1（权限 %2）/ Access denied (grant %2).").arg(e.description(), g),
                        e.number());
        }
    }
    return cs;
}

std::optional<BatchUser> requireManager(const Invocation &inv, const QString &cnstr) {
    const bool empty = db::Connection(cnstr).scalar(QStringLiteral("select count(*) from t_User")).toInt() == 0;
    if (empty && !inv.options.contains(QStringLiteral("user")))
        return std::nullopt;
    const QString login = inv.option(QStringLiteral("user"));
    if (login.isEmpty())
        throw UsageError(QStringLiteral("帐套里已有用户：请用 --user 给出管理员的用户名，并给出他的密码。"));
    const BatchUser user = verifyLogin(inv, cnstr, login);
    if (!user.manager)
        throw Error(QStringLiteral("%1（只有管理员能做）/ Access denied (a manager's login is needed).")
                        .arg(Error::accessDenied().description()));
    return user;
}

} // namespace zostore::admin
