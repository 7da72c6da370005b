// Connection: opens the backend named by the connection string and runs statements on it.
#include "db/Connection.h"

#include "db/ConnectionImpl.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/SqlDialect.h"
#include "db/SqliteShims.h"
#include "db/Transaction.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <sqlite3.h>

namespace zostore::db {

namespace {

QAtomicInt g_counter;

int sqliteProgress(void *p) {
    auto *c = static_cast<ConnectionImpl *>(p);
    return c->deadlineMs > 0 && c->clock.elapsed() > c->deadlineMs ? 1 : 0;
}

bool isLockError(const ConnectionImpl &c, const QSqlError &err) {
    const QString code = err.nativeErrorCode();
    if (c.cs.isSqlite())
        return code == QLatin1String("5") || code == QLatin1String("6") ||
               err.databaseText().contains(QLatin1String("locked"));
    return code == QLatin1String("55P03") || code == QLatin1String("40P01") || code == QLatin1String("40001");
}

bool isTimeout(const ConnectionImpl &c, const QSqlError &err) {
    if (c.cs.isSqlite())
        return err.nativeErrorCode() == QLatin1String("9") || err.databaseText().contains(QLatin1String("interrupt"));
    return err.nativeErrorCode() == QLatin1String("57014");
}

// Asked of SQLite first: opening a sound file a second time and closing it would drop the POSIX locks
// this process's other connections hold on it, and another process could then take the set for unused,
// checkpoint it and delete its WAL under them. Only a file SQLite refuses, which nobody can be using,
// is read here to tell a foreign file from a damaged set.
bool isSqliteDatabase(sqlite3 *h, const QString &path) {
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(h, "select count(*) from sqlite_master", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_NOTADB)
        return true;
    QFile f(path);
    static const QByteArray magic("SQLite format 3\0", 16);
    return f.open(QIODevice::ReadOnly) && f.read(magic.size()) == magic;
}

Error notAnAccountFile(const QFileInfo &fi) {
    return Error(QStringLiteral("不是帐套数据库文件：%1。请检查帐套目录里登记的文件路径，"
                                "或从备份恢复这个文件；本程序没有改动它。")
                     .arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
}

QString sqlitePath(const ConnectionImpl &c) {
    return QDir::toNativeSeparators(QFileInfo(c.cs.dataSource).absoluteFilePath());
}

void openInto(ConnectionImpl &c, Connection::OpenMode mode) {
    c.name = QStringLiteral("zostore_%1").arg(g_counter.fetchAndAddRelaxed(1));
    if (c.cs.isSqlite()) {
        const QFileInfo fi(c.cs.dataSource);
        if (mode == Connection::OpenMode::Existing && !fi.exists())
            throw Error(QStringLiteral("帐套数据库文件不存在：%1").arg(fi.absoluteFilePath()));
        if (fi.exists() && !fi.isReadable())
            throw Error(QStringLiteral("帐套数据库文件不能读取：%1").arg(fi.absoluteFilePath()));
        // An empty file would become an empty set at the first statement.
        if (fi.exists() && mode == Connection::OpenMode::Existing && fi.size() == 0)
            throw notAnAccountFile(fi);
        if (fi.exists() && !fi.isWritable())
            throw Error(QStringLiteral("帐套数据库文件是只读的：%1。请去掉它的只读属性，或让当前用户有权写入它"
                                       "和所在的文件夹，然后再打开。")
                            .arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
        c.db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), c.name);
        c.db.setDatabaseName(fi.absoluteFilePath());
        c.db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(SqliteBusyWaitMs));
    } else {
        c.db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), c.name);
        c.db.setHostName(c.cs.server);
        c.db.setPort(c.cs.port);
        c.db.setUserName(c.cs.userId);
        c.db.setPassword(c.cs.password);
        c.db.setDatabaseName(c.cs.database);
        c.db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(c.cs.connectTimeout));
    }
    if (!c.db.isValid())
        throw Error(QStringLiteral("数据库驱动未安装：%1").arg(c.cs.isSqlite() ? QStringLiteral("QSQLITE")
                                                                             : QStringLiteral("QPSQL")));
    c.db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!c.db.open()) {
        const QString where = c.cs.isSqlite() ? QFileInfo(c.cs.dataSource).absoluteFilePath()
                                              : QStringLiteral("%1:%2/%3").arg(c.cs.server).arg(c.cs.port).arg(c.cs.database);
        QString text = c.db.lastError().databaseText().trimmed();
        if (!c.cs.password.isEmpty())
            text.replace(c.cs.password, QStringLiteral("******"));
        throw Error(QStringLiteral("不能连接数据库 %1：%2").arg(where, text));
    }
    if (c.cs.isSqlite()) {
        sqlite3 *h = sqliteHandle(c.db);
        if (!h)
            throw Error(QStringLiteral("不能取得 SQLite 连接句柄。"));
        if (!isSqliteDatabase(h, c.cs.dataSource))
            throw notAnAccountFile(QFileInfo(c.cs.dataSource));
        registerSqliteShims(h);
        sqlite3_progress_handler(h, 1000, &sqliteProgress, &c);
        QSqlQuery q(c.db);
        q.exec(QStringLiteral("pragma journal_mode=wal"));
        q.exec(QStringLiteral("pragma synchronous=normal"));
        q.exec(QStringLiteral("pragma foreign_keys=off"));
        // Set-based procedures sort and join through temporary tables; on disk those cost more than the work.
        q.exec(QStringLiteral("pragma temp_store=memory"));
        // Month-end statements read the whole month; the default 2 MB page cache rereads it from the kernel.
        q.exec(QStringLiteral("pragma cache_size=-65536"));
    } else {
        QSqlQuery q(c.db);
        q.exec(QStringLiteral("set client_min_messages = warning"));
        q.exec(QStringLiteral("set datestyle = 'ISO, YMD'"));
    }
    c.clock.start();
}

QSqlQuery prepared(ConnectionImpl &c, const QString &text, const QVariantList &params) {
    const QString sql = c.cs.isSqlite() ? rewriteForSqlite(text) : text;
    QSqlQuery q(c.db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (params.isEmpty()) {
        if (!q.exec(sql))
            raise(c, q.lastError());
        return q;
    }
    if (!q.prepare(sql))
        raise(c, q.lastError());
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, Connection::bindable(params[i]));
    if (!q.exec())
        raise(c, q.lastError());
    return q;
}

} // namespace

sqlite3 *sqliteHandle(QSqlDatabase &db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

ConnectionImpl::~ConnectionImpl() {
    if (db.isValid()) {
        if (cs.isSqlite())
            if (sqlite3 *h = sqliteHandle(db))
                sqlite3_progress_handler(h, 0, nullptr, nullptr);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
}

void raise(const ConnectionImpl &c, const QSqlError &err) {
    QString text = err.databaseText().trimmed();
    if (text.isEmpty())
        text = err.text().trimmed();
    if (isLockError(c, err))
        throw Error(QStringLiteral("数据被其他用户锁定，请稍后再试（%1）").arg(text), Error::Lock);
    if (c.cs.isSqlite()) {
        // extended codes carry the primary one in the low byte
        switch (err.nativeErrorCode().toInt() & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            throw Error(QStringLiteral("帐套数据库文件已损坏：%1。请从备份恢复这个文件后再打开。").arg(sqlitePath(c)));
        case SQLITE_FULL:
            throw Error(QStringLiteral("磁盘已满，不能写入帐套数据库文件：%1。请腾出磁盘空间后重做，"
                                       "这次操作没有保存。")
                            .arg(sqlitePath(c)));
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            throw Error(QStringLiteral("不能写入帐套数据库文件：%1。请让当前用户有权写入这个文件和所在的文件夹，"
                                       "这次操作没有保存。")
                            .arg(sqlitePath(c)));
        default:
            break;
        }
    }
    if (isTimeout(c, err))
        throw Error(QStringLiteral("数据库操作超时，已取消（%1）").arg(text));
    throw Error(QStringLiteral("数据库错误：%1").arg(text));
}

Connection::Connection(const QString &connectionString, OpenMode mode)
    : Connection(ConnectionString::parse(connectionString), mode) {}

Connection::Connection(const ConnectionString &cs, OpenMode mode) : d(std::make_shared<ConnectionImpl>()) {
    d->cs = cs;
    openInto(*d, mode);
}

Connection::~Connection() = default;

const ConnectionString &Connection::info() const { return d->cs; }
bool Connection::isSqlite() const { return d->cs.isSqlite(); }
QSqlDatabase &Connection::database() { return d->db; }

QVariant Connection::bindable(const QVariant &v) {
    if (v.isNull())
        return v;
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        return v;
    }
}

int Connection::execute(const QString &sql, const QVariantList &params) {
    QSqlQuery q = prepared(*d, sql, params);
    return q.numRowsAffected();
}

Recordset Connection::open(const QString &sql, const QVariantList &params, Cursor cursor) {
    return Recordset(d, prepared(*d, sql, params), cursor);
}

QVariant Connection::scalar(const QString &sql, const QVariantList &params) {
    QSqlQuery q = prepared(*d, sql, params);
    return q.next() ? q.value(0) : QVariant();
}

void Connection::setTimeout(int seconds) {
    if (d->cs.isSqlite()) {
        d->clock.restart();
        d->deadlineMs = seconds > 0 ? qint64(seconds) * 1000 : 0;
    } else {
        QSqlQuery q(d->db);
        if (!q.exec(QStringLiteral("set statement_timeout = %1").arg(qint64(seconds) * 1000)))
            raise(*d, q.lastError());
    }
}

Recordset Connection::callProcedure(const QString &name, const ProcArgs &args, int timeoutSeconds) {
    const ProcedureDef *def = ProcedureRegistry::instance().find(name);
    if (!def)
        throw Error(QStringLiteral("找不到存储过程 %1。").arg(name));
    validateArgs(*def, args);
    setTimeout(timeoutSeconds);
    try {
        Transaction t(*this, def->locksBooks ? Transaction::Lock::Books : Transaction::Lock::None);
        Recordset rows = def->body(*this, args);
        t.commit();
        setTimeout(0);
        return rows;
    } catch (...) {
        setTimeout(0);
        throw;
    }
}

void Connection::begin() {
    if (d->inTransaction)
        throw Error(QStringLiteral("连接上已有未结束的事务。"));
    QSqlQuery q(d->db);
    // SQLite: take the write lock at once so a conflict shows at the start, not half-way
    if (!q.exec(d->cs.isSqlite() ? QStringLiteral("begin immediate") : QStringLiteral("begin")))
        raise(*d, q.lastError());
    d->inTransaction = true;
}

void Connection::commit() {
    QSqlQuery q(d->db);
    if (!q.exec(QStringLiteral("commit")))
        raise(*d, q.lastError());
    d->inTransaction = false;
}

void Connection::rollback() {
    QSqlQuery q(d->db);
    q.exec(QStringLiteral("rollback"));
    d->inTransaction = false;
}

bool Connection::inTransaction() const { return d->inTransaction; }

Connection::Statement Connection::prepare(const QString &sql) { return Statement(d, sql); }

Connection::Statement::Statement(std::shared_ptr<ConnectionImpl> conn, const QString &sql)
    : m_conn(std::move(conn)), m_query(std::make_shared<QSqlQuery>(m_conn->db)), m_sql(sql) {
    m_query->setForwardOnly(true);
    if (m_conn->cs.isSqlite())
        m_sql = rewriteForSqlite(sql);
    if (!m_query->prepare(m_sql))
        raise(*m_conn, m_query->lastError());
}

int Connection::Statement::exec(const QVariantList &params) {
    for (int i = 0; i < params.size(); ++i)
        m_query->bindValue(i, bindable(params[i]));
    if (!m_query->exec())
        raise(*m_conn, m_query->lastError());
    return m_query->numRowsAffected();
}

// Savepoints need the connection's transaction state, kept in the impl.
Transaction::Transaction(Connection &conn, Lock lock) : m_conn(conn) {
    if (!conn.inTransaction()) {
        if (lock == Lock::Books)
            conn.beginBooks();
        else
            conn.begin();
    } else {
        m_savepoint = QStringLiteral("zs_sp_%1").arg(g_counter.fetchAndAddRelaxed(1));
        conn.execute(QStringLiteral("savepoint ") + m_savepoint);
        if (lock == Lock::Books) {
            try {
                conn.lockBooks();
            } catch (...) {
                conn.execute(QStringLiteral("rollback to savepoint ") + m_savepoint);
                throw;
            }
        }
    }
}

Transaction::~Transaction() {
    if (m_done)
        return;
    try {
        if (m_savepoint.isEmpty())
            m_conn.rollback();
        else
            m_conn.execute(QStringLiteral("rollback to savepoint ") + m_savepoint);
    } catch (...) {
        // the connection is already broken; nothing more can be undone from here
    }
}

void Transaction::commit() {
    if (m_savepoint.isEmpty())
        m_conn.commit();
    else
        m_conn.execute(QStringLiteral("release savepoint ") + m_savepoint);
    m_done = true;
}

} // namespace zostore::db
