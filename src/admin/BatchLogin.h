// Logging a batch command in as a named user, the way the main window would, and checking its grants.
#pragma once

#include "admin/CommandLine.h"

#include <QStringList>

namespace zostore::admin {

// Logs the --user of the invocation in to the account set named by its first argument and checks each
// grant in turn; returns the account set's connection string.
QString loginAndCheck(const Invocation &inv, const QStringList &grants);

} // namespace zostore::admin
