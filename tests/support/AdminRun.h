// Runs zostore-admin commands in the test process, with the password sources a caller would use.
#pragma once

#include "accountdb/PasswordHash.h"
#include "admin/CommandLine.h"
#include "admin/PasswordSource.h"

#include <QByteArray>
#include <optional>

namespace zostore::test {

struct AdminOutcome {
    int code;
    QString out;
    QString err;
};

// The password every login of the admin command fixtures has, and its stored hash (made once: it is slow).
inline const QString AdminTestPassword = QStringLiteral("pw123456");
inline const QString &adminTestPasswordHash() {
    static const QString hash = accountdb::hashPassword(AdminTestPassword);
    return hash;
}

// env: ZOSTORE_PASSWORD for the run (unset when empty); input: standard input; terminal: whether a missing
// password may be asked for on it.
inline AdminOutcome runAdminCommand(const admin::CommandTable &table, const QStringList &args,
                                    const std::optional<QString> &env, const QString &input = QString(),
                                    bool terminal = false) {
    const QByteArray saved = qgetenv(admin::PasswordVariable);
    const bool wasSet = qEnvironmentVariableIsSet(admin::PasswordVariable);
    if (env)
        qputenv(admin::PasswordVariable, env->toUtf8());
    else
        qunsetenv(admin::PasswordVariable);
    QString out, err, in = input;
    QTextStream o(&out), e(&err), i(&in);
    admin::AdminIO io{o, e, i, terminal};
    const int code = admin::runAdmin(table, args, io);
    o.flush();
    e.flush();
    wasSet ? qputenv(admin::PasswordVariable, saved) : qunsetenv(admin::PasswordVariable);
    return {code, out, err};
}

} // namespace zostore::test
