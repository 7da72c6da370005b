// zostore-admin's stock-limit commands: grants per user, what they print, and refusals that change nothing.
#include "StockFixture.h"

#include "accountdb/Catalogue.h"
#include "admin/CommandLine.h"
#include "admin/StockLimitCommands.h"
#include "startup/LoginContext.h"
#include "support/AdminRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace zostore::test {

class AdminCommandsTest : public StockFixture {
protected:
    void SetUp() override {
        StockFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        qputenv("ZOSTORE_WORKDIR", work.path().toUtf8());
        catalogue = db().createSibling(QStringLiteral("cat"));
        accountdb::Catalogue cat(catalogue);
        cat.create();
        dbName = QStringLiteral("d2adm_%1").arg(QRandomGenerator::global()->bounded(1000000));
        account = std::make_unique<db::Connection>(cat.createAccountSet(QStringLiteral("命令'测试"), dbName));
        fillItems(*account);
        std::swap(conn, account); // bills go into the registered set
        bill(1, at(5), 22, 1, {{1, 7}, {2, 3}});
        bill(2, at(6), 99, 2, {{1, 4}});
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FManager,FPassword) "
                                     "values(1,'admin',1,?),(2,'店员',0,?),(3,'经理',0,?)"),
                      {adminTestPasswordHash(), adminTestPasswordHash(), adminTestPasswordHash()});
        conn->execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(3,'717',1)"));
        table.add(admin::stockLimitCommand());
        table.add(admin::safeStockExportCommand());
        table.add(admin::safeStockImportCommand());
        startup::loginContext().reset();
    }
    void TearDown() override {
        conn.reset();
        account.reset();
        StockFixture::TearDown();
    }
    int run(QStringList args) {
        args.prepend(catalogue);
        args.prepend(QStringLiteral("--catalog"));
        const AdminOutcome r = runAdminCommand(table, args, AdminTestPassword);
        out = r.out;
        err = r.err;
        return r.code;
    }
    int storeRows() { return count(QStringLiteral("select count(*) from ICSafeStock")); }

    QTemporaryDir work;
    QString catalogue;
    QString dbName;
    std::unique_ptr<db::Connection> account;
    admin::CommandTable table;
    QString out;
    QString err;
};

TEST_P(AdminCommandsTest, generation_is_grant_checked_and_reports_in_both_languages) {
    const QStringList gen = {QStringLiteral("stocklimit"), dbName, QStringLiteral("--from"), QStringLiteral("2026-11-01"),
                             QStringLiteral("--to"), QStringLiteral("2026-11-30"), QStringLiteral("--store"),
                             QStringLiteral("01"), QStringLiteral("--min"), QStringLiteral("1.5"), QStringLiteral("--max"),
                             QStringLiteral("2"), QStringLiteral("--safe"), QStringLiteral("0"), QStringLiteral("--user")};
    EXPECT_EQ(run(gen + QStringList{QStringLiteral("店员")}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("访问被拒绝！"))) << err.toStdString();
    EXPECT_EQ(run(gen + QStringList{QStringLiteral("经理")}), 1) << "717 alone does not allow generating";
    EXPECT_TRUE(err.contains(QStringLiteral("访问被拒绝！（权限 397）"))) << err.toStdString();
    EXPECT_EQ(run(gen + QStringList{QStringLiteral("无此人")}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("用户“无此人”不存在"))) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("stocklimit"), dbName, QStringLiteral("--user"), QStringLiteral("admin"),
                   QStringLiteral("--store"), QStringLiteral("88")}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("仓库“88”不存在")));
    EXPECT_EQ(storeRows(), 0) << "refusals change nothing";

    EXPECT_EQ(run(gen + QStringList{QStringLiteral("admin")}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("已生成库存上下限")));
    EXPECT_TRUE(out.contains(QStringLiteral("Stock limits generated")));
    const QString path = QDir(work.path()).absoluteFilePath(QStringLiteral("safestock.txt"));
    EXPECT_TRUE(out.contains(path)) << out.toStdString();
    EXPECT_EQ(store(1, 1), limits(11, 14, 0)) << "store 01's own sales only";
}

TEST_P(AdminCommandsTest, a_file_that_cannot_be_written_keeps_the_limits_as_they_were) {
    const QString path = QDir(work.path()).absoluteFilePath(QStringLiteral("safestock.txt"));
    ASSERT_TRUE(QDir().mkpath(path)); // a folder in the file's place
    EXPECT_EQ(run({QStringLiteral("stocklimit"), dbName, QStringLiteral("--user"), QStringLiteral("admin"),
                   QStringLiteral("--from"), QStringLiteral("2026-11-01"), QStringLiteral("--to"),
                   QStringLiteral("2026-11-30"), QStringLiteral("--store"), QStringLiteral("01")}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("无法写入文件“%1”").arg(path))) << err.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("已写出"))) << out.toStdString();
    EXPECT_EQ(storeRows(), 0) << "the generation was rolled back with the file";
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_P(AdminCommandsTest, export_and_import_through_the_exchange_file) {
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(1,1,5,6,7),(2,2,1,2,3)"));
    EXPECT_EQ(run({QStringLiteral("safestock-export"), dbName, QStringLiteral("--user"), QStringLiteral("店员")}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("访问被拒绝！（权限 717）"))) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("safestock-export"), dbName, QStringLiteral("--user"), QStringLiteral("经理")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("导出完成！")));
    QFile f(QDir(work.path()).absoluteFilePath(QStringLiteral("safestock.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("1,1,5,6,7\r\n2,2,1,2,3\r\n"));

    conn->execute(QStringLiteral("update ICSafeStock set FMin=0 where FStockID=1"));
    conn->execute(QStringLiteral("delete from ICSafeStock where FStockID=2"));
    EXPECT_EQ(run({QStringLiteral("safestock-import"), dbName, QStringLiteral("--user"), QStringLiteral("经理")}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("访问被拒绝！（权限 397）"))) << err.toStdString();
    EXPECT_EQ(storeRows(), 1);
    EXPECT_EQ(run({QStringLiteral("safestock-import"), dbName, QStringLiteral("--user"), QStringLiteral("admin")}), 0)
        << err.toStdString();
    EXPECT_EQ(storeRows(), 2);
    EXPECT_EQ(store(1, 1), limits(5, 6, 7)) << "an existing row is set in place";
    EXPECT_EQ(store(2, 2), limits(1, 2, 3));

    // An empty file would only wipe store 01's limits.
    f.close();
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.close();
    EXPECT_EQ(run({QStringLiteral("safestock-import"), dbName, QStringLiteral("--user"), QStringLiteral("admin"),
                   QStringLiteral("--store"), QStringLiteral("01")}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("文件里没有数据"))) << err.toStdString();
    EXPECT_EQ(store(1, 1), limits(5, 6, 7));
    EXPECT_EQ(storeRows(), 2);
}

ZOSTORE_BACKENDS(AdminCommandsTest);

} // namespace zostore::test
