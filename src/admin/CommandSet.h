// Every command of zostore-admin, as the program offers them.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

CommandTable allCommands();

} // namespace zostore::admin
