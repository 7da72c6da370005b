#include "admin/UserCommands.h"

#include "admin/AccountCommands.h"
#include "admin/BatchLogin.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "modules/users/Grants.h"
#include "modules/users/RightsTable.h"
#include "modules/users/UserStore.h"

namespace zostore::admin {

namespace {

using modules::users::Grants;
using modules::users::UserRow;
using modules::users::UserStore;

UserRow namedUser(db::Connection &conn, const QString &name) {
    for (const UserRow &u : UserStore(conn, 0).users())
        if (u.name == name.trimmed())
            return u;
    throw Error(QStringLiteral("帐套里没有用户“%1”。").arg(db::shortened(name)));
}

QStringList codeList(const QString &list) {
    QStringList codes;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString c = part.trimmed();
        if (!c.isEmpty() && !codes.contains(c))
            codes << c;
    }
    if (codes.isEmpty())
        throw UsageError(QStringLiteral("没有给出权限代码（用逗号分开，如 101,102,R15）。"));
    return codes;
}

// Only codes the program checks: a mistyped one would be a grant that grants nothing.
void requireKnown(db::Connection &conn, const QStringList &codes) {
    const QStringList known = modules::users::rightCodes(modules::users::rightsTree(conn));
    for (const QString &c : codes)
        if (!known.contains(c))
            throw Error(
                QStringLiteral("权限代码“%1”无效：本程序不检查这个代码（报表代码是 R 加报表组和报表号，"
                               "须是报表清单里有的报表）。")
                    .arg(db::shortened(c)));
}

Command changeGrants(bool grant) {
    const QString name = grant ? QStringLiteral("grant") : QStringLiteral("revoke");
    return {name,
            QStringLiteral("<数据库名> <用户名> <代码,代码,...> --user 管理员 [--password-stdin]"),
            grant ? QStringLiteral("给用户授予权限（管理员登录）")
                  : QStringLiteral("收回用户的权限（管理员登录）"),
            3,
            3,
            {QStringLiteral("user")},
            {},
            [grant](Invocation &inv) {
                const QStringList codes = codeList(inv.args[2]);
                const QString cs = registeredAccount(inv, inv.args[0]);
                requireManager(inv, cs);
                db::Connection conn(cs);
                const UserRow u = namedUser(conn, inv.args[1]);
                if (u.manager)
                    throw Error(QStringLiteral("用户“%1”是管理员，拥有全部权限，不用逐项授权。").arg(u.name));
                requireKnown(conn, codes);
                QMap<QString, bool> rows;
                for (const QString &c : codes)
                    rows.insert(c, grant);
                Grants::write(conn, u.id, rows);
                inv.io->out << QStringLiteral("用户“%1”：%2 %3 项权限（%4）。\n")
                                   .arg(u.name, grant ? QStringLiteral("授予") : QStringLiteral("收回"))
                                   .arg(codes.size())
                                   .arg(codes.join(QLatin1Char(',')));
            }};
}

} // namespace

Command usersCommand() {
    return {QStringLiteral("users"),
            QStringLiteral("<数据库名> --user 管理员 [--password-stdin]"),
            QStringLiteral("列出帐套的用户和他们的权限（管理员登录）"),
            1,
            1,
            {QStringLiteral("user")},
            {},
            [](Invocation &inv) {
                const QString cs = registeredAccount(inv, inv.args[0]);
                requireManager(inv, cs);
                db::Connection conn(cs);
                const QStringList known = modules::users::rightCodes(modules::users::rightsTree(conn));
                for (const UserRow &u : UserStore(conn, 0).users()) {
                    QStringList granted;
                    if (!u.manager) {
                        const QSet<QString> g = Grants::granted(conn, u.id);
                        for (const QString &c : known)
                            if (g.contains(c))
                                granted << c;
                    }
                    inv.io->out << QStringLiteral("%1\t%2\t%3%4\t%5\t%6\n")
                                       .arg(u.id)
                                       .arg(u.name,
                                            u.manager ? QStringLiteral("管理员") : QStringLiteral("营业员"),
                                            u.disabled ? QStringLiteral("（停用）") : QString(),
                                            u.manager ? QStringLiteral("全部权限")
                                                      : (granted.isEmpty() ? QStringLiteral("无权限")
                                                                           : granted.join(QLatin1Char(','))),
                                            u.description);
                }
            }};
}

Command grantCommand() {
    return changeGrants(true);
}
Command revokeCommand() {
    return changeGrants(false);
}

} // namespace zostore::admin
