// Commands that create and fill account sets, and the helpers they share.
#pragma once

#include "accountdb/Catalogue.h"
#include "admin/CommandLine.h"

namespace zostore::admin {

Command createCatalogCommand();
Command createAccountCommand();
Command listCommand();
Command demoCommand();
Command generateCommand();
Command addUserCommand();
Command passwdCommand();

// Every command above, in help order.
void addAccountCommands(CommandTable &table);

// The account set's connection string; refuses a database the catalogue does not list.
QString registeredAccount(const Invocation &inv, const QString &dbFileName);

} // namespace zostore::admin
