// zostore-admin's month-end commands: grants, the missing-cost guard, and a closing that reopens exactly.
#include "accountdb/Catalogue.h"
#include "accountdb/Schema.h"
#include "accountdb/SchemaUpgrade.h"
#include "accountdb/SystemProfile.h"
#include "admin/CommandLine.h"
#include "admin/PeriodCommands.h"
#include "admin/StockCheckCommand.h"
#include "db/Connection.h"
#include "startup/LoginContext.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>
#include <cmath>

namespace zostore::test {

namespace {

admin::CommandTable periodCommands() {
    admin::CommandTable table;
    table.add(admin::costCommand());
    table.add(admin::closeCommand());
    table.add(admin::reopenCommand());
    table.add(admin::checkStockCommand());
    return table;
}

using Outcome = AdminOutcome;

Outcome runIn(const admin::CommandTable &table, const QStringList &args) {
    return runAdminCommand(table, args, std::nullopt);
}

} // namespace

class PeriodCommandsTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        catalogue = db().createSibling(QStringLiteral("pcat"));
        accountdb::Catalogue cat(catalogue);
        cat.create();
        dbName = QStringLiteral("zs_pcmd_%1").arg(QRandomGenerator::global()->bounded(1000000));
        conn.emplace(cat.createAccountSet(QStringLiteral("月结"), dbName));
        // The account set started in November, so November cannot be reopened.
        const QStringList profile = {QStringLiteral("StartYear"),     QStringLiteral("2026"),
                                     QStringLiteral("StartPeriod"),   QStringLiteral("11"),
                                     QStringLiteral("CurrentYear"),   QStringLiteral("2026"),
                                     QStringLiteral("CurrentPeriod"), QStringLiteral("11"),
                                     QStringLiteral("CostStyle"),     QStringLiteral("2")};
        for (qsizetype i = 0; i < profile.size(); i += 2)
            accountdb::writeProfile(*conn, profile[i], profile[i + 1]);
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FManager,FPassword) "
                                     "values(1,'admin',1,?),(2,'店员',0,?),(3,'会计',0,?)"),
                      {adminTestPasswordHash(), adminTestPasswordHash(), adminTestPasswordHash()});
        exec("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(3,'708',1)");
        exec("insert into t_ICItem(FItemID,FNumber,FName) "
             "values(1,'01','茶叶'),(2,'02','茶杯'),(3,'03','茶盘')");
        // Item 3 has value without quantity, so an automatic issue bill has something to issue; item 2
        // already has a December row that the closing replaces and reopening must bring back.
        exec("insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values"
             "(1,2026,11,10,10,100),(3,2026,11,0,0,5),(2,2026,12,99,10,990)");
        bill(1, 12, 3, "(1,1,1,5,5,12,60,0,0,0),(1,2,2,4,4,10,40,0,0,0)");
        // A sale whose cost is not calculated yet.
        bill(2, 22, 10, "(2,1,1,3,3,20,60,0,0,0),(2,2,2,1,1,15,15,0,0,0)");
        startup::loginContext().reset();
    }
    void TearDown() override {
        conn.reset();
        if (!catalogue.isEmpty() && !isSqlite())
            accountdb::Catalogue(catalogue).removeAccountSet(dbName);
        BackendTest::TearDown();
    }

    void exec(const char *sql) { conn->execute(QString::fromUtf8(sql)); }
    void bill(int id, int tranType, int day, const char *entries) {
        conn->execute(
            QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted) "
                           "values(?,?,?,2026,11,?,0)"),
            {id, QStringLiteral("B%1").arg(id), QDateTime(QDate(2026, 11, day), QTime(9, 0)), tranType});
        conn->execute(
            QStringLiteral("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                           "FAmount,FUnitCost,FCost,FPreSend) values ") +
            QString::fromLatin1(entries));
    }
    Outcome run(const QString &command, const QString &user, const QStringList &more = {},
                const std::optional<QString> &password = AdminTestPassword, const QString &input = QString()) {
        return runAdminCommand(table,
                               QStringList{command, dbName, QStringLiteral("--user"), user,
                                           QStringLiteral("--catalog"), catalogue} +
                                   more,
                               password, input);
    }
    QString stored() {
        return accountdb::readProfile(*conn, QStringLiteral("CurrentYear")) + u'-' +
               accountdb::readProfile(*conn, QStringLiteral("CurrentPeriod"));
    }
    // Every table the commands may write, as sorted text rows with numbers to 4 places.
    QMap<QString, QStringList> snapshot() {
        QMap<QString, QStringList> all;
        for (const QString &t :
             {QStringLiteral("icbal"), QStringLiteral("ICStockBill"), QStringLiteral("ICStockBillEntry"),
              QStringLiteral("t_systemprofile"), QStringLiteral("ICSafeStock"), QStringLiteral("t_ICItem")}) {
            QStringList rows;
            for (db::Recordset rs = conn->open(QStringLiteral("select * from ") + t); !rs.eof();
                 rs.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs.fieldCount(); ++i) {
                    const QVariant v = rs.value(i);
                    bool number = false;
                    const double d = v.toDouble(&number);
                    cells << (v.isNull() ? QStringLiteral("<null>")
                              : number && v.typeId() != QMetaType::QString
                                  ? QString::number(std::round(d * 1e4) / 1e4, 'f', 4)
                                  : db::Recordset::textOf(v));
                }
                rows << cells.join(u'|');
            }
            rows.sort();
            all.insert(t, rows);
        }
        return all;
    }
    double scalar(const char *sql) { return conn->scalar(QString::fromUtf8(sql)).toDouble(); }

    admin::CommandTable table = periodCommands();
    QString catalogue;
    QString dbName;
    std::optional<db::Connection> conn;
};

TEST_P(PeriodCommandsTest, refusals_exit_with_1_and_change_nothing) {
    const auto before = snapshot();
    const auto refused = [&](const QString &command, const QString &user, const QString &part,
                             const QStringList &more = {}, const std::optional<QString> &password = AdminTestPassword,
                             int code = 1) {
        const Outcome r = run(command, user, more, password);
        EXPECT_EQ(r.code, code) << command.toStdString() << ' ' << user.toStdString();
        EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString();
        EXPECT_EQ(snapshot(), before) << command.toStdString() << ' ' << user.toStdString();
    };
    // Who runs the command proves it first, even a manager.
    for (const QString &command : {QStringLiteral("cost"), QStringLiteral("close"), QStringLiteral("reopen")}) {
        const QStringList more =
            command == QLatin1String("close") ? QStringList{QStringLiteral("--ignore-missing-cost")} : QStringList{};
        refused(command, QStringLiteral("admin"), QStringLiteral("ZOSTORE_PASSWORD"), more, std::nullopt, 2);
        refused(command, QStringLiteral("admin"), QStringLiteral("密码错误，请重新输入！"), more,
                QStringLiteral("admin123"));
    }
    // Only a granting row lets a clerk in; text values only fit where the column takes them.
    QStringList odd = {QStringLiteral("null"), QStringLiteral("2"), QStringLiteral("0")};
    if (isSqlite())
        odd << QStringLiteral("''") << QStringLiteral("'yes'");
    for (const QString &value : odd) {
        conn->execute(QStringLiteral("delete from t_Grant where FUserID=2"));
        conn->execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(2,'704',%1),"
                                     "(2,'708',%1)")
                          .arg(value));
        SCOPED_TRACE(value.toStdString());
        refused(QStringLiteral("close"), QStringLiteral("店员"), QStringLiteral("访问被拒绝！（权限 704）"),
                {QStringLiteral("--ignore-missing-cost")});
        refused(QStringLiteral("cost"), QStringLiteral("店员"), QStringLiteral("访问被拒绝！（权限 708）"));
        refused(QStringLiteral("reopen"), QStringLiteral("店员"), QStringLiteral("访问被拒绝！（权限 704）"));
    }
    conn->execute(QStringLiteral("delete from t_Grant where FUserID=2"));
    refused(QStringLiteral("close"), QStringLiteral("店员"), QStringLiteral("（权限 704）"),
            {QStringLiteral("--ignore-missing-cost")});
    // Calculating costs does not allow closing.
    refused(QStringLiteral("close"), QStringLiteral("会计"), QStringLiteral("访问被拒绝"),
            {QStringLiteral("--ignore-missing-cost")});
    refused(QStringLiteral("reopen"), QStringLiteral("店员"), QStringLiteral("（权限 704）"));
    refused(QStringLiteral("cost"), QStringLiteral("店员"), QStringLiteral("（权限 708）"));
    refused(QStringLiteral("close"), QStringLiteral("无此人"), QStringLiteral("不存在"));
    // The guard comes before the stock limits are regenerated and before any bill is made.
    refused(QStringLiteral("close"), QStringLiteral("admin"), QStringLiteral("--ignore-missing-cost"),
            {QStringLiteral("--stock-limit"), QStringLiteral("--auto-bill")});
    refused(QStringLiteral("reopen"), QStringLiteral("admin"), QStringLiteral("启用月份"));
    exec("update t_systemprofile set FValue='7' where FKey='CostStyle'");
    const auto withBadStyle = snapshot();
    const Outcome r = run(QStringLiteral("cost"), QStringLiteral("会计"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("成本计算方式“7”无效"))) << r.err.toStdString();
    EXPECT_EQ(snapshot(), withBadStyle);
    EXPECT_EQ(stored(), QStringLiteral("2026-11"));
}

TEST_P(PeriodCommandsTest, closing_advances_the_month_and_reopening_restores_every_table) {
    // An account set made before the undo tables were part of the schema.
    exec("drop table t_ClosePeriodLog");
    exec("drop table t_ClosePeriodBal");
    exec("update t_systemprofile set FValue='7.1' where FKey='Ver'");
    // Any command brings it up to the schema before its work begins.
    ASSERT_EQ(run(QStringLiteral("check-stock"), QStringLiteral("admin")).code, 0);
    EXPECT_TRUE(accountdb::hasTable(*conn, QStringLiteral("t_ClosePeriodLog")));
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Ver")), accountdb::SchemaVersion);
    const auto before = snapshot();

    Outcome r = run(QStringLiteral("close"), QStringLiteral("admin"),
                    {QStringLiteral("--auto-bill"), QStringLiteral("--ignore-missing-cost")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("2026年11月已结账"))) << r.out.toStdString();
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("当前月份：2026年12月（数量为零、金额不为零的商品已自动出库）")))
        << r.out.toStdString();
    EXPECT_EQ(stored(), QStringLiteral("2026-12"));
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FYear=2026 and FPeriod=12 and FItemID=1"), 12);
    EXPECT_DOUBLE_EQ(scalar("select FBegBal from icbal where FYear=2026 and FPeriod=12 and FItemID=1"), 160);
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FYear=2026 and FPeriod=12 and FItemID=2"), 3);
    EXPECT_DOUBLE_EQ(
        scalar("select FCost from ICStockBillEntry e join ICStockBill b on b.FInterID=e.FInterID "
               "where b.FTranType=25 and e.FItemID=3"),
        5);
    EXPECT_NE(snapshot(), before);

    r = run(QStringLiteral("reopen"), QStringLiteral("admin"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("当前月份：2026年11月"))) << r.out.toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(
        scalar("select count(*) from t_ClosePeriodLog") + scalar("select count(*) from t_ClosePeriodBal"), 0);
}

TEST_P(PeriodCommandsTest, check_stock_reports_what_bills_written_behind_its_back_left_out_and_a_manager_repairs) {
    // The fixture's bills went straight into the tables, so today's stock per store never saw them.
    Outcome r = run(QStringLiteral("check-stock"), QStringLiteral("会计"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("商品 01 仓库 (无仓库)：记录 0.0000，按单据应为 12.0000"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("共 2 处不一致，未做修改"))) << r.out.toStdString();
    EXPECT_EQ(scalar("select count(*) from ICInventory"), 0);
    r = run(QStringLiteral("check-stock"), QStringLiteral("会计"), {QStringLiteral("--repair")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("只有管理员能重算库存"))) << r.err.toStdString();
    EXPECT_EQ(scalar("select count(*) from ICInventory"), 0);
    r = run(QStringLiteral("check-stock"), QStringLiteral("admin"), {QStringLiteral("--repair")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_DOUBLE_EQ(scalar("select FQty from ICInventory where FItemID=1 and FStockID=0"), 12);
    EXPECT_DOUBLE_EQ(scalar("select FQty from ICInventory where FItemID=2 and FStockID=0"), 3);
    EXPECT_EQ(run(QStringLiteral("check-stock"), QStringLiteral("会计")).code, 0);
}

TEST_P(PeriodCommandsTest, calculated_costs_let_the_closing_pass_without_the_flag) {
    const Outcome cost = run(QStringLiteral("cost"), QStringLiteral("会计"), {QStringLiteral("--password-stdin")},
                             std::nullopt, AdminTestPassword + QStringLiteral("\n"));
    ASSERT_EQ(cost.code, 0) << cost.err.toStdString();
    EXPECT_TRUE(cost.out.contains(QStringLiteral("成本计算方式 2"))) << cost.out.toStdString();
    EXPECT_EQ(scalar("select count(*) from ICStockBillEntry where FInterID=2 and FUnitCost=0"), 0);
    const double saleCost = scalar("select FCost from ICStockBillEntry where FInterID=2 and FItemID=1");
    EXPECT_NEAR(saleCost, 3 * 160.0 / 15, 0.01);

    const Outcome close = run(QStringLiteral("close"), QStringLiteral("admin"));
    ASSERT_EQ(close.code, 0) << close.err.toStdString();
    EXPECT_EQ(stored(), QStringLiteral("2026-12"));
    EXPECT_NEAR(scalar("select FBegBal from icbal where FYear=2026 and FPeriod=12 and FItemID=1"),
                160 - saleCost, 0.01);
    EXPECT_EQ(scalar("select count(*) from ICStockBill where FTranType=25"), 0)
        << "no automatic bill unasked";
}

ZOSTORE_BACKENDS(PeriodCommandsTest);

TEST(PeriodCommandsUsageTest, bad_command_lines_exit_with_2) {
    const admin::CommandTable table = periodCommands();
    for (const QStringList &args :
         {QStringList{QStringLiteral("close")}, QStringList{QStringLiteral("close"), QStringLiteral("zs_x")},
          QStringList{QStringLiteral("cost"), QStringLiteral("zs_x"), QStringLiteral("zs_y"),
                      QStringLiteral("--user"), QStringLiteral("admin")},
          QStringList{QStringLiteral("reopen"), QStringLiteral("zs_x"), QStringLiteral("--user"),
                      QStringLiteral("admin"), QStringLiteral("--auto-bill")},
          QStringList{QStringLiteral("close"), QStringLiteral("zs_x"), QStringLiteral("--user")}}) {
        const Outcome r = runIn(table, args);
        EXPECT_EQ(r.code, 2) << args.join(u' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(runIn(table, {QStringLiteral("close"), QStringLiteral("zs_x")})
                    .err.contains(QStringLiteral("--user")));
}

} // namespace zostore::test
