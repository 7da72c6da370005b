// users, grant, revoke: a manager lists the users of an account set and changes their grants.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command usersCommand();
Command grantCommand();
Command revokeCommand();

} // namespace zostore::admin
