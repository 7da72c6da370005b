// import-items, import-partners, import-stock and their export-*: the item and partner files and the
// opening stock as spreadsheets.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

void addFileCommands(CommandTable &table);

} // namespace zostore::admin
