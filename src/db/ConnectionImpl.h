// Shared state of one open connection (internal to the db layer).
#pragma once

#include "db/ConnectionString.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>

struct sqlite3;

namespace zostore::db {

// SQLite's busy wait for ordinary statements; longer conflicts surface as lock errors for the retry rule.
inline constexpr int SqliteBusyWaitMs = 500;
// How long an operation that rewrites the books waits for another one to finish.
inline constexpr int DefaultBooksLockWaitMs = 15000;

// Current bound on the account-set lock wait (Connection::setBooksLockWait).
int booksLockWait();

struct ConnectionImpl {
    ConnectionString cs;
    QSqlDatabase db;
    QString name;
    bool inTransaction = false;
    // SQLite deadline, checked by the progress handler
    qint64 deadlineMs = 0; // 0: none
    QElapsedTimer clock;
    int booksLockWaitMs = booksLockWait();
    ~ConnectionImpl();
};

// The SQLite handle under a Qt connection; null for other drivers.
sqlite3 *sqliteHandle(QSqlDatabase &db);

// Turns a driver error into the layer's error; lock conflicts carry "锁".
[[noreturn]] void raise(const ConnectionImpl &c, const QSqlError &err);

} // namespace zostore::db
