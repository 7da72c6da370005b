// Transaction scope: rolls back unless committed; nests as a savepoint.
#pragma once

#include "db/Connection.h"

namespace zostore::db {

class Transaction {
public:
    explicit Transaction(Connection &conn);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_conn;
    QString m_savepoint; // empty for the outermost scope
    bool m_done = false;
};

} // namespace zostore::db
