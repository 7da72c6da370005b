// History clearing on both backends: what stays after the day is exactly what it was, and a refusal or a
// failure half-way changes nothing.
#include "PeriodFixture.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "period/AccountProfile.h"
#include "period/HistoryClearing.h"
#include "period/PeriodMath.h"
#include "period/ProcedureSteps.h"
#include "period/StockMovement.h"

using namespace zostore;
using namespace zostore::test;

namespace {

class HistoryClearingTest : public PeriodFixture {
protected:
    void SetUp() override {
        PeriodFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setCurrent(2024, 3, 2023, 1);
        for (int i = 1; i <= 4; ++i)
            addItem(i, QStringLiteral("0%1").arg(i));
        // March opens with what January and February left.
        addBalance(1, 2024, 3, 10, 105);
        addBalance(2, 2024, 3, 4, 18.8);
        addBalance(1, 2024, 2, 7, 70);
        bill(1, 12, QDate(2024, 2, 10), 102, {{1, 3, 11.5, 34.5}});
        // Bills before and after the 15th, two suppliers and two customers, prices that differ by bill.
        bill(2, 12, QDate(2024, 3, 2), 101, {{1, 6, 10.2, 61.2}, {2, 5, 4.9, 24.5}});
        bill(3, 22, QDate(2024, 3, 5), 201, {{1, 4, 15, 60, 10.4, 41.6}});
        bill(4, 14, QDate(2024, 3, 8), 101, {{2, 1, 4.9, 4.9, 4.9, 4.9}});
        bill(5, 24, QDate(2024, 3, 12), 202, {{1, 1, 14, 14, 10.4, 10.4}});
        bill(6, 12, QDate(2024, 3, 14), 102, {{3, 8, 2.75, 22}});
        bill(7, 22, QDate(2024, 3, 15), 201, {{1, 2, 16, 32, 10.5, 21}});
        bill(8, 12, QDate(2024, 3, 20), 101, {{2, 2, 5.1, 10.2}});
        bill(9, 22, QDate(2024, 3, 28), 202, {{3, 3, 4, 12, 2.75, 8.25}});
        // A finished order and an open one.
        conn().execute(QStringLiteral("insert into ICOrder (FInterID,FBillNo,FDate,FOrgaID) values "
                                      "(1,'PO1','2024-03-01 00:00:00',101),(2,'PO2','2024-03-01 00:00:00',102)"));
        conn().execute(QStringLiteral("insert into ICOrderEntry (FInterID,FEntryID,FItemID,FQty,FCompleteQty,"
                                      "FCancelAction) values (1,1,1,6,6,0),(1,2,2,5,1,1),(2,1,3,8,3,0)"));
    }
    void TearDown() override {
        period::setStepObserver({});
        PeriodFixture::TearDown();
    }
    void bill(int id, int type, const QDate &date, int orga, const std::vector<Line> &lines) {
        addBill(id, type, date, lines);
        conn().execute(QStringLiteral("update ICStockBill set FOrgaID=? where FInterID=?"), {orga, id});
    }
    // Each item's quantity and value on the given day and at the month's end.
    QStringList stockFrom(const QDate &day) {
        QStringList rows;
        for (const QDate &d : {day, QDate(2024, 3, 31).addDays(1)}) {
            auto rs = conn().open(
                QStringLiteral("select i.FItemID, coalesce(b.FBegQty,0) + coalesce(m.q,0) as q, "
                               "coalesce(b.FBegBal,0) + coalesce(m.v,0) as v from t_ICItem i "
                               "left join icbal b on b.FItemID=i.FItemID and b.FYear=2024 and b.FPeriod=3 "
                               "left join (select t2.FItemID as id, sum(%1) as q, sum(%2) as v "
                               "from ICStockBill t1 join ICStockBillEntry t2 on t2.FInterID=t1.FInterID "
                               "where t1.FYear=2024 and t1.FPeriod=3 and t1.FDate<? group by t2.FItemID) m "
                               "on m.id=i.FItemID order by i.FItemID")
                    .arg(period::movementQtySql(), period::movementValueSql()),
                {QDateTime(d, QTime(0, 0))});
            for (; !rs.eof(); rs.moveNext())
                rows << QStringLiteral("%1@%2: %3 / %4")
                            .arg(rs.text(QStringLiteral("FItemID")), d.toString(Qt::ISODate))
                            .arg(rs.toDouble(QStringLiteral("q")), 0, 'f', 4)
                            .arg(rs.toDouble(QStringLiteral("v")), 0, 'f', 4);
        }
        return rows;
    }
    // What each partner owes or is owed: the brought-forward amount and the bills still there.
    QStringList partnerBalances() {
        QStringList rows;
        auto rs = conn().open(QStringLiteral(
            "select k, o, sum(a) as a from ("
            "select FOrgaType as k, FOrgaID as o, FAmount as a from t_WLBegBal union all "
            "select case when t1.FTranType in (12,14) then 1 else 2 end, t1.FOrgaID, "
            "case when t1.FTranType in (12,22) then t2.FAmount else -t2.FAmount end "
            "from ICStockBill t1 join ICStockBillEntry t2 on t2.FInterID=t1.FInterID "
            "where t1.FTranType in (12,14,22,24)) s group by k, o order by k, o"));
        for (; !rs.eof(); rs.moveNext())
            rows << QStringLiteral("%1/%2: %3")
                        .arg(rs.text(QStringLiteral("k")), rs.text(QStringLiteral("o")))
                        .arg(rs.toDouble(QStringLiteral("a")), 0, 'f', 2);
        return rows;
    }
    period::ClearOptions on(const QDate &day) {
        period::ClearOptions o;
        o.remainDate = day;
        return o;
    }
};

TEST_P(HistoryClearingTest, stock_and_partner_balances_after_the_day_are_unchanged) {
    const QDate day(2024, 3, 15);
    const QStringList stock = stockFrom(day);
    const QStringList partners = partnerBalances();
    ASSERT_EQ(partners.size(), 4);

    period::clearHistory(cnstr(), on(day));

    EXPECT_EQ(stockFrom(day), stock);
    EXPECT_EQ(partnerBalances(), partners);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill where FDate<?"),
                            {QDateTime(day, QTime(0, 0))}).toInt(), 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 3);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBillEntry")).toInt(), 3);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icbal where FPeriod<>3")).toInt(), 0);
    // The finished order goes (its cancelled line counts as done), the open one stays.
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICOrder")).toInt(), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select FInterID from ICOrder")).toInt(), 2);
    const period::YearPeriod start = period::storedStartPeriod(conn());
    EXPECT_EQ(start.year * 100 + start.period, 202403);

    // Clearing the same day again finds nothing more to fold.
    period::clearHistory(cnstr(), on(day));
    EXPECT_EQ(stockFrom(day), stock);
    EXPECT_EQ(partnerBalances(), partners);
}

TEST_P(HistoryClearingTest, a_day_outside_the_month_or_a_failure_half_way_changes_nothing) {
    const auto before = dumpAll();
    for (const QDate &d : {QDate(2024, 2, 29), QDate(2024, 4, 1), QDate()}) {
        try {
            period::clearHistory(cnstr(), on(d));
            ADD_FAILURE() << d.toString(Qt::ISODate).toStdString();
        } catch (const Error &e) {
            if (d.isValid()) {
                EXPECT_EQ(e.description(), QStringLiteral("清除截止日期必须在当前期间“2024年3月范围内"));
            }
        }
        EXPECT_EQ(dumpAll(), before);
    }
    for (const char *step : {"clear.stock", "clear.partners", "clear.entries", "clear.bills", "clear.done"}) {
        period::setStepObserver([step](const QString &s) {
            if (s == QLatin1String(step))
                throw Error(QStringLiteral("故障"));
        });
        auto o = on(QDate(2024, 3, 31));
        o.delItem = true;
        EXPECT_THROW(period::clearHistory(cnstr(), o), Error) << step;
        EXPECT_EQ(dumpAll(), before) << step;
    }
    period::setStepObserver({});
    // The first and the last day of the month are accepted.
    EXPECT_NO_THROW(period::clearHistory(cnstr(), on(QDate(2024, 3, 1))));
    EXPECT_NO_THROW(period::clearHistory(cnstr(), on(QDate(2024, 3, 31))));
}

TEST_P(HistoryClearingTest, reinit_keeps_master_data_and_unused_items_go_only_when_nothing_refers_to_them) {
    auto o = on(QDate(2024, 3, 15));
    o.delItem = true;
    period::clearHistory(cnstr(), o);
    // Item 4 was never used; item 3 is still on a kept bill and an open order.
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_ICItem where FItemID=4")).toInt(), 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_ICItem")).toInt(), 3);

    o.reinit = true;
    o.delItem = false;
    period::clearHistory(cnstr(), o);
    for (const char *t : {"ICStockBill", "ICStockBillEntry", "ICOrder", "icbal", "t_WLBegBal"})
        EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(t))).toInt(), 0) << t;
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_ICItem")).toInt(), 3);
    const period::YearPeriod start = period::storedStartPeriod(conn());
    EXPECT_EQ(start.year * 100 + start.period, 202403);
}

ZOSTORE_BACKENDS(HistoryClearingTest);

} // namespace
