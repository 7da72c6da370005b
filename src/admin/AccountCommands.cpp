// Commands that create and fill account sets, and the helpers they share.
#include "admin/AccountCommands.h"

#include "accountdb/SchemaUpgrade.h"
#include "db/MessageText.h"
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
        throw Error(QStringLiteral("帐套数据库“%1”不在帐套列表中。").arg(db::shortened(dbFileName)));
    const QString cnstr = cat.accountConnectionString(dbFileName);
    accountdb::upgradeAccountSet(cnstr);
    return cnstr;
}

} // namespace zostore::admin
