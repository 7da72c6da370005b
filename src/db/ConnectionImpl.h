// Shared state of one open connection (internal to the db layer).
#pragma once

#include "db/ConnectionString.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>

namespace zostore::db {

struct ConnectionImpl {
    ConnectionString cs;
    QSqlDatabase db;
    QString name;
    bool inTransaction = false;
    // SQLite deadline, checked by the progress handler
    qint64 deadlineMs = 0; // 0: none
    QElapsedTimer clock;
    ~ConnectionImpl();
};

// Turns a driver error into the layer's error; lock conflicts carry "锁".
[[noreturn]] void raise(const ConnectionImpl &c, const QSqlError &err);

} // namespace zostore::db
