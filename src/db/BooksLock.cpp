// The account-set lock: a transaction-level advisory lock on PostgreSQL, the write lock of
// BEGIN IMMEDIATE on SQLite, each waited for a bounded time; and SQLite's whole-database replace under it.
#include "db/Connection.h"
#include "db/ConnectionImpl.h"
#include "db/Error.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
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

int Connection::booksLockWaitMs() {
    return booksLockWait();
}

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

void Connection::replaceWith(const QString &sqliteFile) {
    if (!isSqlite() || inTransaction())
        throw Error(QStringLiteral("只有不在事务中的 SQLite 连接才能整库替换。"));
    const QString shown = QDir::toNativeSeparators(sqliteFile);
    sqlite3 *src = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(sqliteFile).constData(), &src, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        const QString why = src ? QString::fromUtf8(sqlite3_errmsg(src)) : QString();
        sqlite3_close(src);
        throw Error(QStringLiteral("无法打开数据库文件“%1”：%2").arg(shown, why));
    }
    sqlite3 *dst = sqliteHandle(d->db);
    sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
    if (!b) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(dst));
        sqlite3_close(src);
        throw Error(QStringLiteral("无法从“%1”复制数据库：%2").arg(shown, why));
    }
    // One step: the write lock is waited for like BEGIN IMMEDIATE's and held until every page is in.
    sqlite3_busy_timeout(dst, d->booksLockWaitMs);
    const int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    sqlite3_busy_timeout(dst, SqliteBusyWaitMs);
    sqlite3_close(src);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw booksBusy();
    if (rc != SQLITE_DONE)
        throw Error(
            QStringLiteral("无法从“%1”复制数据库：%2").arg(shown, QString::fromUtf8(sqlite3_errstr(rc))));
}

} // namespace zostore::db
