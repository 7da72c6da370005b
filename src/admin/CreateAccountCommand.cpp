// create-account: a new, empty account set registered in the catalogue.
#include "admin/AccountCommands.h"

#include "db/ConnectionString.h"

namespace zostore::admin {

Command createAccountCommand() {
    return {QStringLiteral("create-account"),
            QStringLiteral("<名称> <数据库名>"),
            QStringLiteral("建立空帐套并登记到帐套目录"),
            2,
            2,
            {},
            {},
            [](Invocation &inv) {
                accountdb::Catalogue cat(inv.catalogue);
                cat.create();
                const QString cs = cat.createAccountSet(inv.args[0], inv.args[1]);
                inv.io->out << QStringLiteral("帐套“%1”已建立：").arg(inv.args[0])
                            << db::ConnectionString::parse(cs).redacted() << '\n'
                            << QStringLiteral("请用 add-user 添加用户。\n");
            }};
}

} // namespace zostore::admin
