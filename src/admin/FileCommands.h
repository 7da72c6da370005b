// import-items, import-partners, export-items, export-partners: the item and partner files and spreadsheets.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

void addFileCommands(CommandTable &table);

} // namespace zostore::admin
