// create-catalog: the catalogue database and its list of account sets.
#include "admin/AccountCommands.h"

#include "db/ConnectionString.h"

namespace zostore::admin {

Command createCatalogCommand() {
    return {QStringLiteral("create-catalog"),
            QString(),
            QStringLiteral("建立帐套目录（已存在时保留）"),
            0,
            0,
            {},
            {},
            [](Invocation &inv) {
                accountdb::Catalogue(inv.catalogue).create();
                inv.io->out << QStringLiteral("帐套目录已就绪：")
                            << db::ConnectionString::parse(inv.catalogue).redacted() << '\n';
            }};
}

} // namespace zostore::admin
