// The reminder lists as spreadsheet files, for a morning report sent by script.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command remindersCommand();

} // namespace zostore::admin
