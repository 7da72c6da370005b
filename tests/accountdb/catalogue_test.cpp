// Catalogue of account sets, profile defaults and password hashes.
#include "accountdb/Catalogue.h"
#include "accountdb/PasswordHash.h"
#include "accountdb/SystemProfile.h"
#include "accountdb/WorkFolder.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::accountdb;

namespace {

class CatalogueTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (isSqlite()) {
            catalogueString =
                QStringLiteral("Provider=SQLite;Data Source=%1/sets/catalog.db").arg(db().dir());
            return;
        }
        auto cs = db::ConnectionString::parse(test::postgresAdminString());
        suffix = QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(++sequence);
        cs.database = QStringLiteral("zs_cat_") + suffix;
        catalogueString = cs.toString();
    }
    void TearDown() override {
        if (!isSqlite() && !catalogueString.isEmpty()) {
            db::Connection admin(test::postgresAdminString());
            for (const QString &name :
                 {QStringLiteral("zs_cat_") + suffix, set(QStringLiteral("a")), set(QStringLiteral("b"))})
                admin.execute(QStringLiteral("drop database if exists %1 with (force)").arg(name));
        }
        BackendTest::TearDown();
    }
    // Account-set names unique per run, so PostgreSQL tests can share one server.
    QString set(const QString &name) const {
        return isSqlite() ? name : QStringLiteral("zs_%1_%2").arg(name, suffix);
    }

    QString catalogueString;
    QString suffix;
    static inline int sequence = 0;
};

} // namespace

TEST_P(CatalogueTest, creates_lists_and_removes_account_sets) {
    Catalogue cat(catalogueString);
    cat.create();
    cat.create(); // an existing catalogue is kept
    EXPECT_TRUE(cat.list().isEmpty());

    const QString cs = cat.createAccountSet(QStringLiteral("总店帐套"), set(QStringLiteral("a")));
    EXPECT_EQ(cs, cat.accountConnectionString(set(QStringLiteral("a"))));
    ASSERT_EQ(cat.list().size(), 1);
    EXPECT_EQ(cat.list().first().name, QStringLiteral("总店帐套"));
    EXPECT_EQ(cat.nameOf(set(QStringLiteral("a"))), QStringLiteral("总店帐套"));
    {
        db::Connection acct(cs);
        EXPECT_EQ(readProfile(acct, QStringLiteral("birthday_actiondays")), QStringLiteral("3"));
        EXPECT_EQ(readProfile(acct, QStringLiteral("CURRENTYEAR")),
                  QString::number(QDate::currentDate().year()));
        EXPECT_EQ(readProfile(acct, QStringLiteral("nosuchkey"), QStringLiteral("x")), QStringLiteral("x"));
        EXPECT_EQ(readProfile(acct, QStringLiteral("TotalItemName")), QStringLiteral("0"));
        EXPECT_EQ(
            acct.scalar(QStringLiteral("select FDescription from t_systemprofile where FKey='TotalItemName'"))
                .toString(),
            QStringLiteral("库存余额表按相同商品名称显示小计\r\n"));
        writeProfile(acct, QStringLiteral("showaction"), QStringLiteral("1"));
        EXPECT_EQ(readProfile(acct, QStringLiteral("ShowAction")), QStringLiteral("1"));
        EXPECT_EQ(
            acct.scalar(QStringLiteral("select count(*) from t_systemprofile where lower(FKey)='showaction'"))
                .toInt(),
            1);
    }

    cat.createAccountSet(QStringLiteral("分店帐套"), set(QStringLiteral("b")));
    EXPECT_EQ(cat.list().size(), 2);
    cat.removeAccountSet(set(QStringLiteral("b")));
    EXPECT_EQ(cat.list().size(), 1);
    EXPECT_THROW(db::Connection{cat.accountConnectionString(set(QStringLiteral("b")))}, Error);
    EXPECT_THROW(cat.removeAccountSet(set(QStringLiteral("b"))), Error);
}

TEST_P(CatalogueTest, refusals_change_nothing) {
    Catalogue cat(catalogueString);
    cat.create();
    cat.createAccountSet(QStringLiteral("总店帐套"), set(QStringLiteral("a")));
    const auto refused = [&](const QString &name, const QString &file, const QString &part) {
        try {
            cat.createAccountSet(name, file);
            ADD_FAILURE() << "accepted " << file.toStdString();
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(part)) << e.description().toStdString();
        }
        EXPECT_EQ(cat.list().size(), 1);
    };
    refused(QStringLiteral("总店帐套"), set(QStringLiteral("b")), QStringLiteral("已经存在"));
    refused(QStringLiteral("另一个"), set(QStringLiteral("a")), QStringLiteral("已经登记"));
    refused(QStringLiteral("空名"), set(QStringLiteral("b")) + QStringLiteral("\"; drop database x; --"),
            QStringLiteral("无效"));
    for (const QString &bad :
         {QStringLiteral("1abc"), QStringLiteral("a-b"), QStringLiteral(""), QStringLiteral("帐套"),
          QString(64, QLatin1Char('a')), QStringLiteral("a b"), QStringLiteral("x'y")})
        refused(QStringLiteral("坏名字"), bad, QStringLiteral("无效"));
    refused(QStringLiteral("  "), set(QStringLiteral("b")), QStringLiteral("不能为空"));
    refused(QStringLiteral("保留"), QStringLiteral("postgres"), QStringLiteral("保留"));
    EXPECT_THROW(db::Connection{cat.accountConnectionString(set(QStringLiteral("b")))}, Error);
    // Names that need quoting are refused before any statement is built, and never echoed whole.
    refused(QStringLiteral("长名"), QString(100000, QLatin1Char('x')), QStringLiteral("（共 100000 个字符）"));
    if (!isSqlite()) {
        auto cs = db::ConnectionString::parse(catalogueString);
        cs.database = QStringLiteral("zs\"cat'x;中");
        try {
            Catalogue(cs.toString()).create();
            ADD_FAILURE() << "catalogue name accepted";
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("数据库名无效"))) << e.description().toStdString();
            EXPECT_FALSE(e.description().contains(QStringLiteral("cat'x"))) << e.description().toStdString();
        }
        db::Connection admin(test::postgresAdminString());
        EXPECT_EQ(admin.scalar(QStringLiteral("select count(*) from pg_database where datname=?"), {cs.database}).toInt(), 0);
    }
    if (isSqlite()) {
        EXPECT_EQ(QDir(db().dir() + QStringLiteral("/sets")).entryList({QStringLiteral("*.db")}).size(), 2);
    }
    // a database the list lacks is kept, unless it is as empty as an interrupted creation leaves it
    if (!isSqlite())
        db::Connection(test::postgresAdminString())
            .execute(QStringLiteral("create database %1").arg(set(QStringLiteral("b"))));
    {
        db::Connection other(cat.accountConnectionString(set(QStringLiteral("b"))),
                             db::Connection::OpenMode::Create);
        other.execute(QStringLiteral("create table t_Mine (FKey integer)"));
    }
    refused(QStringLiteral("另一个"), set(QStringLiteral("b")), QStringLiteral("不能覆盖"));
    db::Connection(cat.accountConnectionString(set(QStringLiteral("b"))))
        .execute(QStringLiteral("drop table t_Mine"));
    cat.createAccountSet(QStringLiteral("另一个"), set(QStringLiteral("b")));
    EXPECT_EQ(cat.list().size(), 2);
}

TEST(PasswordHashTest, verifies_only_the_right_password) {
    const QString hash = hashPassword(QStringLiteral("wl123456"));
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_FALSE(hash.contains(QStringLiteral("wl123456")));
    EXPECT_TRUE(verifyPassword(hash, QStringLiteral("wl123456")));
    EXPECT_FALSE(verifyPassword(hash, QStringLiteral("wl12345")));
    EXPECT_FALSE(verifyPassword(hash, QString()));
    EXPECT_NE(hashPassword(QStringLiteral("wl123456")), hash); // salted
    EXPECT_FALSE(
        verifyPassword(QStringLiteral("wl123456"), QStringLiteral("wl123456"))); // clear text is no hash
    EXPECT_FALSE(verifyPassword(QString(), QString()));
    const QString chinese = hashPassword(QStringLiteral("密码；'--"));
    EXPECT_TRUE(verifyPassword(chinese, QStringLiteral("密码；'--")));
}

TEST(CatalogueDefaultTest, environment_chooses_the_catalogue_and_work_folder) {
    QTemporaryDir dir;
    const QByteArray oldCatalog = qgetenv("ZOSTORE_CATALOG"), oldWork = qgetenv("ZOSTORE_WORKDIR");
    qputenv("ZOSTORE_CATALOG", "Provider=SQLite;Data Source=/elsewhere/c.db");
    EXPECT_EQ(defaultCatalogueString(), QStringLiteral("Provider=SQLite;Data Source=/elsewhere/c.db"));
    qunsetenv("ZOSTORE_CATALOG");
    qputenv("ZOSTORE_WORKDIR", dir.filePath(QStringLiteral("work")).toUtf8());
    EXPECT_EQ(dataFolder(), dir.filePath(QStringLiteral("work/data")));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("work/data"))).exists());
    if (QSettings(QStringLiteral("ZoStore"), QStringLiteral("Server"))
            .value(QStringLiteral("Catalog"))
            .isNull()) {
        EXPECT_EQ(defaultCatalogueString(), QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db")
                                                .arg(dir.filePath(QStringLiteral("work/data"))));
    }
    // A SQLite account set lives beside its catalogue.
    Catalogue cat(QStringLiteral("Provider=SQLite;Data Source=%1/cat/catalog.db").arg(dir.path()));
    EXPECT_EQ(db::ConnectionString::parse(cat.accountConnectionString(QStringLiteral("shop1"))).dataSource,
              dir.filePath(QStringLiteral("cat/shop1.db")));
    oldCatalog.isNull() ? qunsetenv("ZOSTORE_CATALOG") : qputenv("ZOSTORE_CATALOG", oldCatalog);
    oldWork.isNull() ? qunsetenv("ZOSTORE_WORKDIR") : qputenv("ZOSTORE_WORKDIR", oldWork);
}

ZOSTORE_BACKENDS(CatalogueTest);
