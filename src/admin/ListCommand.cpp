// list: the account sets of the catalogue.
#include "admin/AccountCommands.h"

namespace zostore::admin {

Command listCommand() {
    return {QStringLiteral("list"),
            QString(),
            QStringLiteral("列出帐套目录中的帐套"),
            0,
            0,
            {},
            {},
            [](Invocation &inv) {
                const auto sets = accountdb::Catalogue(inv.catalogue).list();
                if (sets.isEmpty())
                    inv.io->out << QStringLiteral("（没有帐套）\n");
                for (const auto &s : sets)
                    inv.io->out << s.dbFileName << '\t' << s.name << '\n';
            }};
}

} // namespace zostore::admin
