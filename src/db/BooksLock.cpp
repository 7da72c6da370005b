// The account-set lock: a transaction-level advisory lock on PostgreSQL, the write lock of
// BEGIN IMMEDIATE on SQLite, each waited for a bounded time.
#include "db/Connection.h"
#include "db/ConnectionImpl.h"
#include "db/Error.h"

#include <QAtomicInt>
#include <sqlite3.h>

namespace zostore::db {

namespace {

// One key per database; each account set is a database of its own.
constexpr qint64 BooksLockKey = 0x5A6F53746F7265; // "ZoStore"

Error booksBusy() {
    return Error(QStringLiteral("另一台电脑正在结帐、计算成本或进行其他整帐操作，本帐套已被锁定，请稍后再试。"),
                 Error::Lock);
}

QAtomicInt g_booksLockWaitMs = DefaultBooksLockWaitMs;

} // namespace

int booksLockWait() { return g_booksLockWaitMs.loadRelaxed(); }

void Connection::setBooksLockWait(int milliseconds) { g_booksLockWaitMs.storeRelaxed(qMax(1, milliseconds)); }

void Connection::beginBooks() {
    if (!isSqlite()) {
        begin();
        try {
            lockBooks();
        } catch (...) {
            rollback();
            throw;
        }
        return;
    }
    sqlite3 *h = sqliteHandle(d->db);
    sqlite3_busy_timeout(h, d->booksLockWaitMs);
    try {
        begin();
    } catch (const Error &e) {
        sqlite3_busy_timeout(h, SqliteBusyWaitMs);
        if (e.isLock())
            throw booksBusy();
        throw;
    }
    sqlite3_busy_timeout(h, SqliteBusyWaitMs);
}

void Connection::lockBooks() {
    if (!inTransaction())
        throw Error(QStringLiteral("帐套锁只能在事务中取得。"));
    if (isSqlite())
        return; // the transaction began immediate: it already holds the only write lock
    const QString previous = scalar(QStringLiteral("select current_setting('lock_timeout')")).toString();
    scalar(QStringLiteral("select set_config('lock_timeout', ?, true)"), {QStringLiteral("%1ms").arg(d->booksLockWaitMs)});
    try {
        scalar(QStringLiteral("select pg_advisory_xact_lock(?)"), {BooksLockKey});
    } catch (const Error &e) {
        if (e.isLock())
            throw booksBusy();
        throw;
    }
    scalar(QStringLiteral("select set_config('lock_timeout', ?, true)"), {previous});
}

} // namespace zostore::db
