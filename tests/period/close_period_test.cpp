// Month-end closing and reopening against both backends.
#include "PeriodFixture.h"

#include "db/Error.h"
#include "db/Procedure.h"
#include "period/CostCalculation.h"
#include "period/MonthEndClosing.h"
#include "period/PeriodMath.h"
#include "period/ProcedureSteps.h"

using namespace zostore;
using namespace zostore::test;
using period::YearPeriod;

namespace {

class ClosePeriodTest : public PeriodFixture {
protected:
    // January 2024: openings, a receipt, sales, a return, an other issue, a deleted receipt, an item
    // left with value but no quantity.
    void buildJanuary() {
        for (int i = 1; i <= 6; ++i)
            addItem(i, QStringLiteral("%1").arg(i, 3, 10, QChar(u'0')));
        addBalance(1, 2024, 1, 10, 100);
        addBalance(2, 2024, 1, 5, 40);
        addBalance(5, 2024, 1, 3, 10);
        addBalance(6, 2024, 1, 0, 7.5);
        addBill(101, 12, QDate(2024, 1, 5), {{1, 10, 12, 120}, {3, 4, 5, 20}});
        addBill(102, 22, QDate(2024, 1, 10), {{1, 15, 20, 300}, {2, 5, 10, 50}});
        addBill(103, 24, QDate(2024, 1, 11), {{1, 1, 20, 20}});
        addBill(104, 25, QDate(2024, 1, 12), {{3, 1}});
        addBill(105, 22, QDate(2024, 1, 13), {{4, 2, 5, 10, 3, 6}, {5, 1, 5, 5}});
        addBill(106, 12, QDate(2024, 1, 14), {{1, 100, 999, 99900}}, 1);
    }
    YearPeriod stored() {
        return {conn().scalar(QStringLiteral("select FValue from t_systemprofile where FKey='CurrentYear'")).toInt(),
                conn().scalar(QStringLiteral("select FValue from t_systemprofile where FKey='CurrentPeriod'")).toInt()};
    }
    QString balance(int item, YearPeriod p) {
        db::Recordset rs = conn().open(
            QStringLiteral("select FBegQty,FBegPrice,FBegBal from icbal where FItemID=? and FYear=? and FPeriod=?"),
            {item, p.year, p.period});
        if (rs.eof())
            return QStringLiteral("none");
        return QStringLiteral("%1/%2/%3")
            .arg(rs.toDouble(QStringLiteral("FBegQty")), 0, 'f', 2)
            .arg(rs.toDouble(QStringLiteral("FBegPrice")), 0, 'f', 4)
            .arg(rs.toDouble(QStringLiteral("FBegBal")), 0, 'f', 2);
    }
    void closeMonth(YearPeriod p, int billerId) {
        db::ProcArgs args;
        args.add(QStringLiteral("@BillerID"), db::ParamType::Integer, billerId)
            .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(period::monthEnd(p), QTime(0, 0)));
        conn().callProcedure(QStringLiteral("sp_ClosePeriod"), args, 3000);
    }
    void reopen() { conn().callProcedure(QStringLiteral("sp_UnClosePeriod"), db::ProcArgs(), 3000); }
};

TEST(PeriodMath, month_ends_and_neighbours) {
    EXPECT_EQ(period::monthEnd({2024, 2}), QDate(2024, 2, 29));
    EXPECT_EQ(period::monthEnd({2023, 2}), QDate(2023, 2, 28));
    EXPECT_EQ(period::monthEnd({2023, 12}), QDate(2023, 12, 31));
    EXPECT_EQ(period::monthEnd({2023, 4}), QDate(2023, 4, 30));
    EXPECT_EQ(period::nextPeriod({2023, 12}), (YearPeriod{2024, 1}));
    EXPECT_EQ(period::previousPeriod({2024, 1}), (YearPeriod{2023, 12}));
    EXPECT_EQ(period::periodPanelText({2013, 1}), QStringLiteral("当前月份：2013年1月"));
    EXPECT_DOUBLE_EQ(period::leadingNumber(QStringLiteral(" 1.5倍")), 1.5);
    EXPECT_DOUBLE_EQ(period::leadingNumber(QStringLiteral("abc")), 0);
    EXPECT_DOUBLE_EQ(period::leadingNumber(QStringLiteral("-.")), 0);
}

TEST_P(ClosePeriodTest, close_carries_balances_and_reopen_restores_every_table_exactly) {
    buildJanuary();
    period::CostCalculation({cnstr(), {2024, 1}}).weightedAverage();
    // a row of February that existed before the closing must come back after reopening
    addBalance(1, 2024, 2, 999, 9990);
    const auto before = dumpAll();

    closeMonth({2024, 1}, 7);
    EXPECT_EQ(stored(), (YearPeriod{2024, 2}));
    // item 1: 10 + 10 - 15 + 1 at the average (100 + 120) / 20 = 11
    EXPECT_EQ(balance(1, {2024, 2}), QStringLiteral("6.00/11.0000/66.00"));
    EXPECT_EQ(balance(2, {2024, 2}), QStringLiteral("0.00/0.0000/0.00"));
    EXPECT_EQ(balance(3, {2024, 2}), QStringLiteral("3.00/5.0000/15.00"));
    // no base quantity: the entry kept its typed cost
    EXPECT_EQ(balance(4, {2024, 2}), QStringLiteral("-2.00/3.0000/-6.00"));
    EXPECT_EQ(balance(5, {2024, 2}), QStringLiteral("2.00/3.3350/6.67"));
    // the automatic issue emptied the value of item 6, in the biller's name
    EXPECT_EQ(balance(6, {2024, 2}), QStringLiteral("0.00/0.0000/0.00"));
    db::Recordset bill = conn().open(QStringLiteral("select t1.FBillerID,t1.FTranType,t1.FDate,t1.FSumAmount,t2.FItemID,"
                                                    "t2.FCost from ICStockBill t1 inner join ICStockBillEntry t2 on "
                                                    "t1.FInterID=t2.FInterID where t1.FInterID=107"));
    ASSERT_FALSE(bill.eof());
    EXPECT_EQ(bill.toInt(QStringLiteral("FBillerID")), 7);
    EXPECT_EQ(bill.toInt(QStringLiteral("FTranType")), 25);
    EXPECT_EQ(bill.toDate(QStringLiteral("FDate")), QDate(2024, 1, 31));
    EXPECT_EQ(bill.toInt(QStringLiteral("FItemID")), 6);
    EXPECT_DOUBLE_EQ(bill.toDouble(QStringLiteral("FCost")), 7.5);
    bill.moveNext();
    EXPECT_TRUE(bill.eof());

    reopen();
    EXPECT_EQ(dumpAll(), before);

    // without a biller no bill is made and the value is carried as it stands
    closeMonth({2024, 1}, 0);
    EXPECT_EQ(balance(6, {2024, 2}), QStringLiteral("0.00/0.0000/7.50"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 6);
    reopen();
    EXPECT_EQ(dumpAll(), before);
}

TEST_P(ClosePeriodTest, close_cost_close_across_the_year_end) {
    setCurrent(2024, 12);
    addItem(1, QStringLiteral("001"));
    addBalance(1, 2024, 12, 4, 40);
    addBill(1, 12, QDate(2024, 12, 31), {{1, 6, 15, 90}});
    addBill(2, 22, QDate(2024, 12, 31), {{1, 5, 30, 150}});
    period::CostCalculation({cnstr(), {2024, 12}}).run(2);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FUnitCost")), 13);

    auto closing = period::MonthEndClosing(cnstr(), {2024, 12});
    EXPECT_EQ(closing.close(false, false, 1, {}), (YearPeriod{2025, 1}));
    EXPECT_EQ(stored(), (YearPeriod{2025, 1}));
    EXPECT_EQ(balance(1, {2025, 1}), QStringLiteral("5.00/13.0000/65.00"));

    addBill(3, 12, QDate(2025, 1, 3), {{1, 5, 11, 55}});
    addBill(4, 99, QDate(2025, 1, 4), {{1, 2, 30, 60}});
    period::CostCalculation({cnstr(), {2025, 1}}).run(2);
    EXPECT_DOUBLE_EQ(entryField(4, 1, QStringLiteral("FUnitCost")), 12);
    EXPECT_EQ(period::MonthEndClosing(cnstr(), {2025, 1}).close(false, false, 1, {}), (YearPeriod{2025, 2}));
    EXPECT_EQ(balance(1, {2025, 2}), QStringLiteral("8.00/12.0000/96.00"));

    // back across the year end
    EXPECT_EQ(period::MonthEndClosing(cnstr(), {2025, 2}).reopen({}), (YearPeriod{2025, 1}));
    EXPECT_EQ(period::MonthEndClosing(cnstr(), {2025, 1}).reopen({}), (YearPeriod{2024, 12}));
    EXPECT_EQ(stored(), (YearPeriod{2024, 12}));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icbal where FYear=2025")).toInt(), 0);
}

TEST_P(ClosePeriodTest, refusals_change_nothing) {
    buildJanuary();
    setCurrent(2024, 1, 2024, 1);
    const auto before = dumpAll();
    try {
        reopen();
        FAIL() << "reopening the start month must be refused";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("不能反结账")));
    }
    // a date outside the stored month: closed meanwhile elsewhere
    EXPECT_THROW(closeMonth({2023, 12}, 0), Error);
    EXPECT_EQ(dumpAll(), before);

    // February of a set that never closed January: its balances are all there is, nothing to put back
    setCurrent(2024, 2, 2024, 1);
    addBalance(1, 2024, 2, 4, 44);
    const auto neverClosed = dumpAll();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            reopen();
            FAIL() << "reopening a month that was never closed";
        } catch (const Error &e) {
            EXPECT_EQ(e.description(), QStringLiteral("2024年1月没有结过帐，不能反结账！"));
        }
        EXPECT_EQ(dumpAll(), neverClosed);
        // closed and reopened once, it is open again and cannot be reopened twice
        if (attempt == 0) {
            setCurrent(2024, 1, 2024, 1);
            closeMonth({2024, 1}, 0);
            reopen();
            EXPECT_EQ(stored(), (YearPeriod{2024, 1}));
            setCurrent(2024, 2, 2024, 1);
        }
    }
    setCurrent(2024, 1, 2024, 1);

    conn().execute(QStringLiteral("delete from t_systemprofile where lower(FKey)='currentperiod'"));
    EXPECT_THROW(closeMonth({2024, 1}, 0), Error);
}

TEST_P(ClosePeriodTest, failure_at_any_step_leaves_the_account_as_it_was) {
    buildJanuary();
    addBalance(1, 2024, 2, 999, 9990);
    period::CostCalculation({cnstr(), {2024, 1}}).weightedAverage();
    closeMonth({2024, 1}, 7);
    reopen();
    const auto before = dumpAll();
    for (const char *step : {"close.saved", "close.autobill.header", "close.autobill", "close.carried",
                             "close.advanced"}) {
        period::setStepObserver([step](const QString &s) {
            if (s == QLatin1String(step))
                throw Error(QStringLiteral("故障"));
        });
        EXPECT_THROW(closeMonth({2024, 1}, 7), Error) << step;
        EXPECT_EQ(dumpAll(), before) << step;
    }
    period::setStepObserver({});
    closeMonth({2024, 1}, 7);
    const auto closed = dumpAll();
    for (const char *step : {"reopen.balances", "reopen.bills", "reopen.period"}) {
        period::setStepObserver([step](const QString &s) {
            if (s == QLatin1String(step))
                throw Error(QStringLiteral("故障"));
        });
        EXPECT_THROW(reopen(), Error) << step;
        EXPECT_EQ(dumpAll(), closed) << step;
    }
    period::setStepObserver({});
    reopen();
    EXPECT_EQ(dumpAll(), before);
}

TEST_P(ClosePeriodTest, zero_cost_question_and_stock_limit_regeneration) {
    buildJanuary();
    setProfile(QStringLiteral("MaxStock"), QStringLiteral("2.5"));
    setProfile(QStringLiteral("minstock"), QStringLiteral("0.5倍"));
    setProfile(QStringLiteral("SafeStock"), QStringLiteral("x"));
    setProfile(QStringLiteral("StockLimitDays"), QStringLiteral("30"));
    setProfile(QStringLiteral("GenStockDisStock"), QStringLiteral("1"));
    const auto before = dumpAll();

    int questions = 0;
    QStringList statuses;
    std::vector<QString> calls;
    period::MonthEndClosing::Hooks hooks;
    hooks.status = [&](const QString &s) { statuses << s; };
    hooks.continueDespiteZeroCost = [&] { return ++questions > 1; };
    hooks.generateStockLimits = [&](const QDate &from, const QDate &to, double maxF, double minF, double safeF,
                                    bool perStore) {
        calls.push_back(QStringLiteral("%1 %2 %3 %4 %5 %6")
                            .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate))
                            .arg(maxF)
                            .arg(minF)
                            .arg(safeF)
                            .arg(perStore));
    };
    period::MonthEndClosing closing(cnstr(), {2024, 1});
    // the month's issues have no cost yet: No stops after the limits were regenerated
    EXPECT_EQ(closing.close(true, true, 7, hooks), std::nullopt);
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], QStringLiteral("2024-01-01 2024-01-31 2.5 0.5 0 1"));
    EXPECT_EQ(statuses, (QStringList{QStringLiteral("正在生成库存上下限..."), QStringLiteral("正在结帐...")}));
    EXPECT_EQ(dumpAll(), before);

    // only issue types without cost and not issued in advance ask
    conn().execute(QStringLiteral("update ICStockBillEntry set FUnitCost=1"));
    addBill(200, 22, QDate(2024, 1, 20), {{1, 1, 1, 1, 0, 0, 1}});
    addBill(201, 12, QDate(2024, 1, 20), {{1, 1}});
    addBill(202, 26, QDate(2024, 1, 20), {{1, 1}});
    EXPECT_FALSE(closing.hasIssuesWithoutCost());
    setProfile(QStringLiteral("StockLimitDays"), QString());
    calls.clear();
    EXPECT_EQ(closing.close(true, false, 7, hooks), (YearPeriod{2024, 2}));
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(calls[0].startsWith(QStringLiteral("2024-01-31 2024-01-31")));
}

ZOSTORE_BACKENDS(ClosePeriodTest);

} // namespace
