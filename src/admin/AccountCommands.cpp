// Commands that create and fill account sets, and the helpers they share.
#include "admin/AccountCommands.h"

#include "db/Error.h"

namespace zostore::admin {

void addAccountCommands(CommandTable &table) {
    table.add(createCatalogCommand());
    table.add(createAccountCommand());
    table.add(listCommand());
    table.add(demoCommand());
    table.add(generateCommand());
    table.add(addUserCommand());
    table.add(passwdCommand());
}

QString registeredAccount(const Invocation &inv, const QString &dbFileName) {
    accountdb::Catalogue cat(inv.catalogue);
    if (!accountdb::Catalogue::isValidDatabaseName(dbFileName) || cat.nameOf(dbFileName).isEmpty())
        throw Error(QStringLiteral("帐套数据库“%1”不在帐套列表中。").arg(dbFileName));
    return cat.accountConnectionString(dbFileName);
}

QString passwordFrom(const Invocation &inv) {
    const bool fromStdin = inv.flag(QStringLiteral("password-stdin"));
    const bool given = inv.options.contains(QStringLiteral("password"));
    if (fromStdin && given)
        throw UsageError(QStringLiteral("--password 和 --password-stdin 只能用一个。"));
    if (!fromStdin && !given)
        throw UsageError(QStringLiteral("请用 --password 或 --password-stdin 给出密码。"));
    QString password = given ? inv.option(QStringLiteral("password")) : inv.io->in.readLine();
    while (password.endsWith(QLatin1Char('\r')) || password.endsWith(QLatin1Char('\n')))
        password.chop(1);
    if (password.isEmpty())
        throw Error(QStringLiteral("密码不能为空。"));
    return password;
}

} // namespace zostore::admin
