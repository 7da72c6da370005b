// The demo account set: consistent bills and balances, working logins, and the header-sum procedure.
#include "accountdb/AccountProcedures.h"
#include "accountdb/PasswordHash.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "demo/DemoAccount.h"
#include "support/TestDatabase.h"

using namespace zostore;
using namespace zostore::accountdb;
using namespace zostore::demo;

namespace {

const QDate today(2026, 3, 2); // the current month has two days, the start month lies in the year before

class DemoTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db::Connection conn(cnstr());
        createAccountSchema(conn);
        insertProfileDefaults(conn, 2025, 12);
        summary = loadDemoAccount(conn, today);
    }
    DemoSummary summary;
};

int count(db::Connection &c, const QString &sql, const QVariantList &params = {}) {
    return c.scalar(sql, params).toInt();
}

} // namespace

TEST_P(DemoTest, bills_cover_every_type_in_every_month_and_sum_their_entries) {
    db::Connection c(cnstr());
    EXPECT_GE(summary.items, 250);
    EXPECT_EQ(summary.startMonth, QDate(2025, 12, 1));
    for (int m = 0; m < 4; ++m) {
        const QDate month = summary.startMonth.addMonths(m);
        for (int type : {12, 14, 15, 16, 22, 24, 25, 26, 31, 33, 99})
            EXPECT_GT(
                count(c,
                      QStringLiteral(
                          "select count(*) from ICStockBill where FYear=? and FPeriod=? and FTranType=? "
                          "and FDeleted=0"),
                      {month.year(), month.month(), type}),
                0)
                << "type " << type << " month " << month.toString().toStdString();
    }
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from ICStockBill where FDate>?"),
                    {QDateTime(today, QTime(23, 59))}),
              0);
    EXPECT_EQ(
        count(c, QStringLiteral(
                     "select count(*) from ICStockBill t1 left join (select FInterID,sum(FAmount) a,"
                     "sum(FCost) k from ICStockBillEntry group by FInterID) t2 on t1.FInterID=t2.FInterID "
                     "where abs(t1.FSumAmount-t2.a)>0.005 or abs(t1.FSumCost-t2.k)>0.005 "
                     "or abs(t1.FSumProfit-(t2.a-t2.k))>0.005 or t2.a is null")),
        0);
    // What the reminders and the closing look for is there.
    EXPECT_GT(
        count(c, QStringLiteral("select count(*) from ICStockBill t1 inner join ICStockBillEntry t2 on "
                                "t1.FInterID=t2.FInterID where t1.FTranType=22 and t2.FPrice<t2.FUnitCost")),
        0);
    EXPECT_GT(count(c, QStringLiteral("select count(*) from ICStockBillEntry where FPreSend=1")), 0);
    EXPECT_GT(count(c, QStringLiteral(
                           "select count(*) from ICStockBill where FTranType=99 and FVipID is not null")),
              0);
    EXPECT_GT(count(c,
                    QStringLiteral("select count(*) from ICOrderEntry where FJhDate<? and FCompleteQty>0 and "
                                   "FCompleteQty<FQty and FCancelAction=0"),
                    {QDateTime(today, QTime())}),
              0);
    EXPECT_GT(count(c, QStringLiteral("select count(*) from t_ICItem where FPrice_3<FPurPrice and FDel=0")),
              0);
    EXPECT_GT(count(c, QStringLiteral("select count(*) from t_ICItem where FJjEditDate>FSjEditDate")), 0);
    // Costing has something to show: deliveries of an item in a month cost differently, and most cost
    // prices are not the purchase price.
    EXPECT_GT(
        count(c, QStringLiteral("select count(*) from (select e.FItemID from ICStockBill t inner join "
                                "ICStockBillEntry e on t.FInterID=e.FInterID where t.FTranType=12 group by "
                                "e.FItemID,t.FPeriod having count(distinct e.FPrice)>1) x")),
        50);
    EXPECT_GT(count(c, QStringLiteral("select count(*) from t_ICItem where abs(FPjCost-FPurPrice)>0.005")) *
                  2,
              count(c, QStringLiteral("select count(*) from t_ICItem")));
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from t_Stock where FVirtual=1")), 1);
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from Vip")), 200);
    EXPECT_GE(
        count(c, QStringLiteral("select count(*) from Vip where month(fbirthdate)=? and day(fbirthdate)=?"),
              {today.month(), today.day()}),
        1);
    for (int group = 1; group <= 5; ++group)
        EXPECT_GT(count(c, QStringLiteral("select count(*) from ReportList where FGroupID=?"), {group}), 0);
    EXPECT_EQ(readProfile(c, QStringLiteral("currentyear")), QStringLiteral("2026"));
    EXPECT_EQ(readProfile(c, QStringLiteral("CURRENTPERIOD")), QStringLiteral("3"));
    EXPECT_EQ(readProfile(c, QStringLiteral("startperiod")), QStringLiteral("12"));
    EXPECT_EQ(readProfile(c, QStringLiteral("Closed")), QStringLiteral("1"));
    EXPECT_EQ(
        count(c, QStringLiteral("select count(*) from t_systemprofile where lower(FKey)='currentyear'")), 1);
}

TEST_P(DemoTest, each_month_opens_with_the_last_months_balance_and_movements) {
    db::Connection c(cnstr());
    const QString carry = QStringLiteral(
        "select count(*) from icbal b1 inner join icbal b2 on b2.FItemID=b1.FItemID and b2.FYear=? and "
        "b2.FPeriod=? "
        "left join (select e.FItemID,"
        "sum(case when t.FTranType in (12,15,16,24) then e.FQty when t.FTranType in (14,22,25,26,33,99) then "
        "-e.FQty "
        "else 0 end) as q,"
        "sum(case when t.FTranType in (12,15,16,24) then e.FCost when t.FTranType in (14,22,25,26,33,99) "
        "then -e.FCost "
        "else 0 end) as v "
        "from ICStockBill t inner join ICStockBillEntry e on t.FInterID=e.FInterID "
        "where t.FDeleted=0 and t.FYear=? and t.FPeriod=? group by e.FItemID) mv on mv.FItemID=b1.FItemID "
        "where b1.FYear=? and b1.FPeriod=? and (abs(b1.FBegQty+coalesce(mv.q,0)-b2.FBegQty)>0.0001 "
        "or abs(b1.FBegBal+coalesce(mv.v,0)-b2.FBegBal)>0.005 "
        "or (b2.FBegQty<>0 and abs(b2.FBegPrice-b2.FBegBal/b2.FBegQty)>0.0001))");
    const int items = count(c, QStringLiteral("select count(*) from t_ICItem"));
    for (int m = 0; m < 3; ++m) {
        const QDate from = summary.startMonth.addMonths(m), to = from.addMonths(1);
        EXPECT_EQ(count(c, QStringLiteral("select count(*) from icbal where FYear=? and FPeriod=?"),
                        {to.year(), to.month()}),
                  items);
        EXPECT_EQ(
            count(c, carry, {to.year(), to.month(), from.year(), from.month(), from.year(), from.month()}), 0)
            << from.toString().toStdString();
    }
    // Stock never runs negative in the balances.
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from icbal where FBegQty<0")), 0);
}

TEST_P(DemoTest, logins_work_with_their_passwords_only) {
    db::Connection c(cnstr());
    for (const DemoLogin &l : demoLogins()) {
        auto rs = c.open(QStringLiteral("select FPassword,FManager from t_User where FName=?"), {l.name});
        ASSERT_FALSE(rs.eof()) << l.name.toStdString();
        const QString hash = rs.text(QStringLiteral("FPassword"));
        EXPECT_FALSE(hash.contains(l.password));
        EXPECT_TRUE(verifyPassword(hash, l.password));
        EXPECT_FALSE(verifyPassword(hash, l.password + QLatin1Char('x')));
        EXPECT_EQ(rs.toBool(QStringLiteral("FManager")), l.manager);
    }
    EXPECT_EQ(
        count(c,
              QStringLiteral("select count(*) from t_Grant t1 inner join t_User t2 on t1.FUserID=t2.FUserID "
                             "where t2.FName=?"),
              {QStringLiteral("李强")}),
        0);
    EXPECT_GT(
        count(c,
              QStringLiteral("select count(*) from t_Grant t1 inner join t_User t2 on t1.FUserID=t2.FUserID "
                             "where t2.FName=? and t1.FSubSystemID='704' and t1.FGrant=1"),
              {QStringLiteral("王丽")}),
        0);
    // A second load into a filled account set is refused and adds nothing.
    const int bills = count(c, QStringLiteral("select count(*) from ICStockBill"));
    EXPECT_THROW(loadDemoAccount(c, today), Error);
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from ICStockBill")), bills);
}

TEST_P(DemoTest, bill_sums_procedure_restores_header_sums) {
    registerAccountProcedures();
    registerAccountProcedures();
    db::Connection c(cnstr());
    const QString broken =
        QStringLiteral("select count(*) from ICStockBill t1 inner join (select FInterID,sum(FAmount) a,"
                       "sum(FCost) k from ICStockBillEntry group by FInterID) t2 on "
                       "t1.FInterID=t2.FInterID where abs(t1.FSumAmount-t2.a)>0.005 or "
                       "abs(t1.FSumCost-t2.k)>0.005 or abs(t1.FSumProfit-(t2.a-t2.k))>0.005");
    c.execute(QStringLiteral("update ICStockBill set FSumAmount=0,FSumCost=-1,FSumProfit=7"));
    const int all = count(c, QStringLiteral("select count(*) from ICStockBill"));
    ASSERT_EQ(count(c, broken), all);

    db::ProcArgs one;
    one.add(QStringLiteral("@InterID"), db::ParamType::Integer, 5);
    auto rs = c.callProcedure(QStringLiteral("sp_UpdateBillSums"), one, 60);
    EXPECT_EQ(rs.toInt(QStringLiteral("FCount")), 1);
    EXPECT_EQ(count(c, broken), all - 1);

    db::ProcArgs wrong;
    wrong.add(QStringLiteral("@Bill"), db::ParamType::Integer, 0);
    EXPECT_THROW(c.callProcedure(QStringLiteral("sp_UpdateBillSums"), wrong), Error);
    EXPECT_EQ(count(c, broken), all - 1);

    db::ProcArgs every;
    every.add(QStringLiteral("@InterID"), db::ParamType::Integer, 0);
    EXPECT_EQ(c.callProcedure(QStringLiteral("SP_UPDATEBILLSUMS"), every, 60).toInt(QStringLiteral("FCount")),
              all);
    EXPECT_EQ(count(c, broken), 0);
    EXPECT_FALSE(c.inTransaction());
}

TEST_P(DemoTest, references_are_whole_and_barcodes_valid) {
    db::Connection c(cnstr());
    EXPECT_GE(summary.items, 290);
    // Every EAN-13 carries its check digit.
    for (const QString &sql :
         {QStringLiteral("select FBar_Code as b from t_ICItem where FBar_Code is not null"),
          QStringLiteral("select FBarCode as b from t_icitem_barcode")}) {
        int n = 0;
        for (auto rs = c.open(sql); !rs.eof(); rs.moveNext(), ++n) {
            const QString b = rs.text(QStringLiteral("b"));
            ASSERT_EQ(b.size(), 13) << b.toStdString();
            int sum = 0;
            for (int i = 0; i < 12; ++i)
                sum += b.at(i).digitValue() * (i % 2 ? 3 : 1);
            EXPECT_EQ((10 - sum % 10) % 10, b.at(12).digitValue()) << b.toStdString();
        }
        EXPECT_GT(n, 30);
    }
    const QStringList orphans = {
        QStringLiteral("select count(*) from ICStockBillEntry e left join t_ICItem i on i.FItemID=e.FItemID "
                       "where i.FItemID is null"),
        QStringLiteral("select count(*) from ICOrderEntry e left join t_ICItem i on i.FItemID=e.FItemID "
                       "where i.FItemID is null"),
        QStringLiteral("select count(*) from t_icitem_barcode e left join t_ICItem i on i.FItemID=e.FItemID "
                       "where i.FItemID is null"),
        QStringLiteral("select count(*) from ICStockBill b left join ICStockBillEntry e on "
                       "e.FInterID=b.FInterID where e.FInterID is null"),
        QStringLiteral("select count(*) from ICStockBill where FTranType in (14,22,25,26,31,33,99) and "
                       "FOutStockID not in (select FItemID from t_Stock)"),
        QStringLiteral("select count(*) from ICStockBill where FTranType in (12,15,16,24,31) and "
                       "FInStockID not in (select FItemID from t_Stock)"),
        QStringLiteral("select count(*) from ICStockBill where FTranType in (12,14) and FOrgaID not in "
                       "(select FItemID from t_Supplier)"),
        QStringLiteral("select count(*) from ICStockBill where FTranType in (22,24,33) and FOrgaID not in "
                       "(select FItemID from t_Organization)"),
        QStringLiteral("select count(*) from ICStockBill where FVipID is not null and FVipID not in (select "
                       "FVipID from Vip)"),
        // Items hang under second-level groups, which hang under first-level ones.
        QStringLiteral(
            "select count(*) from t_ICItem i left join t_ItemGroup g on g.FItemID=i.FParentID "
            "left join t_ItemGroup p on p.FItemID=g.FParentID where p.FItemID is null or p.FParentID<>0"),
        QStringLiteral(
            "select count(*) from (select FTranType,FBillNo from ICStockBill group by FTranType,FBillNo "
            "having count(*)>1) d"),
        QStringLiteral("select count(*) from ICStockBill where FYear<>year(FDate) or FPeriod<>month(FDate)")};
    for (const QString &sql : orphans)
        EXPECT_EQ(count(c, sql), 0) << sql.toStdString();
    EXPECT_EQ(count(c, QStringLiteral("select count(*) from TDBill where FTranType=51 and FSelected=1")), 1);
    EXPECT_EQ(
        count(c, QStringLiteral(
                     "select count(*) from tdvariant where ftrantype=99 and left(fvarname,7)<>'FPrice_'")),
        19);
    EXPECT_EQ(c.scalar(QStringLiteral("select FConText from TDPosBill where FStockName=?"),
                       {QStringLiteral("东门店")})
                  .toString()
                  .count(QStringLiteral("\r\n")),
              15);

    // The same day gives the same demo.
    const QString again = db().createSibling(QStringLiteral("again"));
    db::Connection c2(again);
    createAccountSchema(c2);
    insertProfileDefaults(c2, 2025, 12);
    loadDemoAccount(c2, today);
    const QString digest =
        QStringLiteral("select count(*),sum(FQty),sum(FAmount),sum(FCost),sum(FItemID*FEntryID) "
                       "from ICStockBillEntry");
    auto a = c.open(digest), b = c2.open(digest);
    for (int i = 0; i < a.fieldCount(); ++i)
        EXPECT_NEAR(db::Recordset::doubleOf(a.value(i)), db::Recordset::doubleOf(b.value(i)), 0.001);
}

ZOSTORE_BACKENDS(DemoTest);
