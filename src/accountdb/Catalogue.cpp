// The catalogue of account sets (Zo_DbList) and the databases it names.
#include "accountdb/Catalogue.h"

#include "accountdb/AccountBackup.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "accountdb/WorkFolder.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/MessageText.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QRegularExpression>
#include <QSettings>

namespace zostore::accountdb {

namespace {
QString quoted(const QString &identifier) {
    QString inner = identifier;
    return QLatin1Char('"') + inner.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Stands in a new account database until the catalogue lists it.
const QString unregisteredMark = QStringLiteral("zs_unregistered");

const QString listTable = QStringLiteral("create table Zo_DbList (FDbName varchar(100) not null, FDbFileName "
                                         "varchar(100) not null, primary key (FDbFileName))");
} // namespace

QString defaultCatalogueString() {
    QString env = qEnvironmentVariable("ZOSTORE_CATALOG");
    if (!env.isEmpty())
        return env;
    QString setting = QSettings(QStringLiteral("ZoStore"), QStringLiteral("Server"))
                          .value(QStringLiteral("Catalog"))
                          .toString();
    if (!setting.isEmpty())
        return setting;
    return QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(dataFolder());
}

Catalogue::Catalogue(const QString &catalogueString) : m_cnstr(catalogueString) {
    db::ConnectionString::parse(m_cnstr); // a bad string fails here, with its own message
}

bool Catalogue::isSqlite() const {
    return db::ConnectionString::parse(m_cnstr).isSqlite();
}

bool Catalogue::isValidDatabaseName(const QString &dbFileName) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return re.match(dbFileName).hasMatch();
}

void Catalogue::checkDatabaseName(const QString &dbFileName) {
    if (!isValidDatabaseName(dbFileName))
        throw Error(QStringLiteral(
                        "帐套数据库名“%1”无效：只能用字母、数字和下划线，以字母或下划线开头，最长63个字符。")
                        .arg(db::shortened(dbFileName)));
}

QString Catalogue::serverConnectionString() const {
    auto cs = db::ConnectionString::parse(m_cnstr);
    cs.database = QStringLiteral("postgres");
    return cs.toString();
}

QString Catalogue::accountConnectionString(const QString &dbFileName) const {
    checkDatabaseName(dbFileName);
    auto cs = db::ConnectionString::parse(m_cnstr);
    if (cs.isSqlite())
        return db::ConnectionString::sqlite(
                   QFileInfo(cs.dataSource).absoluteDir().filePath(dbFileName + QStringLiteral(".db")))
            .toString();
    cs.database = dbFileName;
    return cs.toString();
}

bool Catalogue::databaseExists(const QString &dbFileName) const {
    if (isSqlite())
        return QFileInfo::exists(db::ConnectionString::parse(accountConnectionString(dbFileName)).dataSource);
    db::Connection server(serverConnectionString());
    return server.scalar(QStringLiteral("select count(*) from pg_database where datname=?"), {dbFileName})
               .toInt() > 0;
}

// An unlisted database that is empty or still marked is what an interrupted creation left behind.
bool Catalogue::isLeftover(const QString &dbFileName) const {
    const QString account = accountConnectionString(dbFileName);
    if (isSqlite() && QFileInfo(db::ConnectionString::parse(account).dataSource).size() == 0)
        return true;
    db::Connection conn(account);
    if (hasTable(conn, unregisteredMark))
        return true;
    const QString tables =
        isSqlite()
            ? QStringLiteral("select count(*) from sqlite_master where type='table'")
            : QStringLiteral(
                  "select count(*) from information_schema.tables where table_schema=current_schema()");
    return conn.scalar(tables).toInt() == 0;
}

void Catalogue::createDatabase(const QString &dbFileName) const {
    if (isSqlite()) {
        const db::Connection created(accountConnectionString(dbFileName), db::Connection::OpenMode::Create);
        return;
    }
    // The name is a checked identifier; a database name cannot be a bound parameter.
    db::Connection(serverConnectionString())
        .execute(QStringLiteral("create database ") + quoted(dbFileName) +
                 QStringLiteral(" encoding 'UTF8'"));
}

void Catalogue::dropDatabase(const QString &dbFileName) const {
    if (isSqlite()) {
        const QString file = db::ConnectionString::parse(accountConnectionString(dbFileName)).dataSource;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(file + suffix);
        return;
    }
    db::Connection(serverConnectionString())
        .execute(QStringLiteral("drop database if exists ") + quoted(dbFileName) +
                 QStringLiteral(" with (force)"));
}

void Catalogue::create() {
    auto cs = db::ConnectionString::parse(m_cnstr);
    if (cs.isSqlite()) {
        QDir().mkpath(QFileInfo(cs.dataSource).absolutePath());
        db::Connection conn(cs, db::Connection::OpenMode::Create);
        if (conn
                .scalar(QStringLiteral(
                    "select count(*) from sqlite_master where type='table' and lower(name)='zo_dblist'"))
                .toInt() == 0)
            conn.execute(listTable);
        return;
    }
    if (!isValidDatabaseName(cs.database))
        throw Error(QStringLiteral("帐套目录连接字符串里的数据库名无效：只能用字母、数字和下划线，以字母或下划线开头，"
                                   "最长63个字符。"));
    {
        db::Connection server(serverConnectionString());
        if (server.scalar(QStringLiteral("select count(*) from pg_database where datname=?"), {cs.database})
                .toInt() == 0)
            server.execute(QStringLiteral("create database ") + quoted(cs.database) +
                           QStringLiteral(" encoding 'UTF8'"));
    }
    db::Connection conn(cs);
    if (conn.scalar(QStringLiteral(
                        "select count(*) from information_schema.tables where table_schema=current_schema() "
                        "and table_name='zo_dblist'"))
            .toInt() == 0)
        conn.execute(listTable);
}

db::Connection Catalogue::openCatalogue() const {
    try {
        return db::Connection(m_cnstr);
    } catch (const Error &e) {
        throw Error(
            QStringLiteral("无法打开帐套目录（%1）。请先建立帐套目录（zostore-admin create-catalog）。")
                .arg(e.description()));
    }
}

QList<AccountSet> Catalogue::list() const {
    db::Connection conn = openCatalogue();
    QList<AccountSet> out;
    for (auto rs = conn.open(QStringLiteral("select FDbName,FDbFileName from Zo_DbList order by FDbName"));
         !rs.eof(); rs.moveNext())
        out.append({rs.text(QStringLiteral("FDbName")), rs.text(QStringLiteral("FDbFileName"))});
    return out;
}

QString Catalogue::nameOf(const QString &dbFileName) const {
    db::Connection conn = openCatalogue();
    return conn
        .scalar(QStringLiteral("select FDbName from Zo_DbList where lower(FDbFileName)=?"),
                {dbFileName.toLower()})
        .toString();
}

void Catalogue::checkNewSet(const QString &name, const QString &dbFileName) const {
    if (name.trimmed().isEmpty())
        throw Error(QStringLiteral("帐套名称不能为空。"));
    if (name.size() > 100)
        throw Error(QStringLiteral("帐套名称太长（最多100个字符）。"));
    checkDatabaseName(dbFileName);
    if (dbFileName.compare(QStringLiteral("postgres"), Qt::CaseInsensitive) == 0 ||
        dbFileName.startsWith(QStringLiteral("template"), Qt::CaseInsensitive) ||
        dbFileName.compare(db::ConnectionString::parse(m_cnstr).databaseName(), Qt::CaseInsensitive) == 0 ||
        dbFileName.compare(QStringLiteral("catalog"), Qt::CaseInsensitive) == 0)
        throw Error(QStringLiteral("帐套数据库名“%1”是保留名称，请换一个。").arg(db::shortened(dbFileName)));
    db::Connection conn = openCatalogue();
    if (conn.scalar(QStringLiteral("select count(*) from Zo_DbList where FDbName=?"), {name}).toInt() > 0)
        throw Error(QStringLiteral("帐套“%1”已经存在！").arg(name));
    if (!nameOf(dbFileName).isEmpty())
        throw Error(QStringLiteral("帐套数据库“%1”已经登记在帐套列表中！").arg(db::shortened(dbFileName)));
    if (databaseExists(dbFileName)) {
        if (!isLeftover(dbFileName))
            throw Error(QStringLiteral("数据库“%1”已经存在，不能覆盖。").arg(db::shortened(dbFileName)));
        dropDatabase(dbFileName);
    }
}

QString Catalogue::createAccountSet(const QString &name, const QString &dbFileName,
                                    const QList<int> &priceStyleIds) {
    return createAndRegister(name, dbFileName, priceStyleIds, {});
}

QString Catalogue::createAccountSet(const QString &name, const QString &dbFileName, const Filler &fill) {
    return createAndRegister(name, dbFileName, {1, 2, 3}, fill);
}

QString Catalogue::createAndRegister(const QString &name, const QString &dbFileName,
                                     const QList<int> &priceStyleIds, const Filler &fill) {
    checkNewSet(name, dbFileName);
    QString account = accountConnectionString(dbFileName);
    createDatabase(dbFileName);
    try {
        db::Connection conn(account);
        conn.execute(QStringLiteral("create table %1 (FMark integer)").arg(unregisteredMark));
        createAccountSchema(conn, priceStyleIds);
        const QDate today = QDate::currentDate();
        insertProfileDefaults(conn, today.year(), today.month());
        writeAccountIdentity(conn);
        if (fill)
            fill(conn);
        db::Connection(m_cnstr).execute(
            QStringLiteral("insert into Zo_DbList(FDbName,FDbFileName) values(?,?)"), {name, dbFileName});
    } catch (...) {
        try {
            dropDatabase(dbFileName);
        } catch (const Error &) {
            // the first failure is the one to report
        }
        throw;
    }
    try {
        db::Connection(account).execute(QStringLiteral("drop table %1").arg(unregisteredMark));
    } catch (const Error &) {
        // the set is listed and whole; the mark only counts for a database the list lacks
    }
    return account;
}

void Catalogue::removeAccountSet(const QString &dbFileName) {
    if (nameOf(dbFileName).isEmpty())
        throw Error(QStringLiteral("帐套数据库“%1”不在帐套列表中。").arg(db::shortened(dbFileName)));
    dropDatabase(dbFileName);
    db::Connection(m_cnstr).execute(QStringLiteral("delete from Zo_DbList where lower(FDbFileName)=?"),
                                    {dbFileName.toLower()});
}

} // namespace zostore::accountdb
