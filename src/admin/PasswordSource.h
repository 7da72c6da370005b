// Where a batch command's passwords come from. Never the command line: every local user can read it.
#pragma once

#include "admin/CommandLine.h"

#include <optional>

namespace zostore::admin {

// The variable that holds the password of the user a command acts as.
inline constexpr const char *PasswordVariable = "ZOSTORE_PASSWORD";

// The password of the user the command logs in as: ZOSTORE_PASSWORD, else the next line of standard input
// with --password-stdin, else asked without echo on a terminal. A usage error when none gives one.
QString loginPassword(const Invocation &inv, const QString &user);

// A password to be set: the next line of standard input with --password-stdin, else ZOSTORE_PASSWORD when
// no login has taken it, else asked twice without echo on a terminal. Empty when none gives one (or the
// terminal answer is empty and allowEmptyAnswer); throws for an empty or mistyped one.
std::optional<QString> newPassword(const Invocation &inv, const QString &whose, bool allowEmptyAnswer = false);

// A random password for an account set nobody has chosen one for.
QString randomPassword();

// The help text on the sources above.
QString passwordHelp();

} // namespace zostore::admin
