// Transaction scope: rolls back unless committed; nests as a savepoint.
#pragma once

#include "db/Connection.h"

namespace zostore::db {

class Transaction {
public:
    enum class Lock {
        None,
        Books // the account-set lock, for operations that rewrite the books as a whole
    };
    explicit Transaction(Connection &conn, Lock lock = Lock::None);
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
