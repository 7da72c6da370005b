// Stock-limit commands: generation and the safestock.txt export and import, grant-checked for a user.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command stockLimitCommand();
Command safeStockExportCommand();
Command safeStockImportCommand();

} // namespace zostore::admin
