// An open database connection: statements with bound parameters, recordsets, procedures, transactions.
#pragma once

#include "db/ConnectionString.h"
#include "db/Recordset.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <memory>

namespace zostore::db {

struct ConnectionImpl;
class ProcArgs;

class Connection {
public:
    enum class OpenMode {
        Existing, // the database must exist (an account set is never created by opening it)
        Create    // SQLite: create the file when missing
    };

    explicit Connection(const QString &connectionString, OpenMode mode = OpenMode::Existing);
    explicit Connection(const ConnectionString &cs, OpenMode mode = OpenMode::Existing);
    ~Connection();
    Connection(const Connection &) = default;
    Connection &operator=(const Connection &) = default;

    const ConnectionString &info() const;
    bool isSqlite() const;
    bool isPostgres() const { return !isSqlite(); }

    // Values travel as bound parameters ("?" in the text), never inside the text.
    int execute(const QString &sql, const QVariantList &params = {});
    Recordset open(const QString &sql, const QVariantList &params = {}, Cursor cursor = Cursor::Static);
    // First field of the first row; a null QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    // Runs a registered procedure in one transaction, bounded by timeoutSeconds (0: no bound).
    Recordset callProcedure(const QString &name, const ProcArgs &args, int timeoutSeconds = 30);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

    // The account-set lock. Operations that rewrite the books as a whole (closing, costing, limits,
    // imports, clearing, restore) hold it for their transaction, so a second one from another
    // workstation waits for the first instead of interleaving with it; after the bounded wait it
    // fails with a lock error in plain words. beginBooks() starts a transaction holding it;
    // lockBooks() takes it inside the current one.
    void beginBooks();
    void lockBooks();
    // Process-wide bound on that wait, for connections opened from now on.
    static void setBooksLockWait(int milliseconds);
    static int booksLockWaitMs();
    // SQLite, outside a transaction: every page of this database becomes that of the database file
    // given, in one write transaction taken with the account-set lock's wait. Connections open
    // elsewhere keep working and see either the old contents or the new.
    void replaceWith(const QString &sqliteFile);

    // Prepared statement reused for many rows (bulk loads).
    class Statement {
    public:
        int exec(const QVariantList &params);

    private:
        friend class Connection;
        explicit Statement(std::shared_ptr<ConnectionImpl> conn, const QString &sql);
        std::shared_ptr<ConnectionImpl> m_conn;
        std::shared_ptr<QSqlQuery> m_query;
        QString m_sql;
    };
    Statement prepare(const QString &sql);

    QSqlDatabase &database();
    // Deadline for statements run from now on; 0 lifts it.
    void setTimeout(int seconds);

    // Converts a bound value to what the backend stores (dates as "yyyy-MM-dd HH:mm:ss").
    static QVariant bindable(const QVariant &v);

private:
    std::shared_ptr<ConnectionImpl> d;
};

} // namespace zostore::db
