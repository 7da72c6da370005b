// Month-end commands: cost calculation, closing and reopening, grant-checked for a user.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command costCommand();
Command closeCommand();
Command reopenCommand();

} // namespace zostore::admin
