// Logging a batch command in as a named user, the way the main window would, and checking its grants.
#pragma once

#include "admin/CommandLine.h"

#include <QStringList>
#include <optional>

namespace zostore::admin {

struct BatchUser {
    int id = 0;
    QString name;
    bool manager = false;
};

// Verifies the password of the login in the account set (see PasswordSource); throws the login window's
// message when it is wrong.
BatchUser verifyLogin(const Invocation &inv, const QString &cnstr, const QString &login);

// Logs the --user of the invocation in to the account set named by its first argument, with its password,
// and checks each grant in turn; returns the account set's connection string.
QString loginAndCheck(const Invocation &inv, const QStringList &grants);

// Adding users and changing another user's password: a manager's verified login through --user, unless the
// account set has no user yet (then nobody, and the result is empty).
std::optional<BatchUser> requireManager(const Invocation &inv, const QString &cnstr);

} // namespace zostore::admin
