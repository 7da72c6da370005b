// History clearing, backup and restore of an account set from a script.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command clearHistoryCommand();
Command backupCommand();
Command restoreCommand();

} // namespace zostore::admin
