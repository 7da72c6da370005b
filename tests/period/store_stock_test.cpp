// Stock per item and store, as of every day, stays what it was through clearing, closing and reopening;
// today's stock per store always equals the openings and bills.
#include "support/TestDatabase.h"

#include "accountdb/Schema.h"
#include "accountdb/SchemaUpgrade.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Procedure.h"
#include "demo/Generator.h"
#include "period/HistoryClearing.h"
#include "period/PeriodMath.h"
#include "period/PeriodProcedures.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace zostore::test {

namespace {

using Key = std::pair<int, int>; // item, store
struct Figure {
    double qty = 0, value = 0;
};
using Figures = std::map<Key, Figure>;

// Rows that differ beyond the stored precision, as text for the failure message.
QStringList differences(const Figures &a, const Figures &b) {
    QStringList out;
    auto check = [&](const Figures &x, const Figures &y) {
        for (const auto &[k, f] : x) {
            const auto it = y.find(k);
            const Figure g = it == y.end() ? Figure{} : it->second;
            if (std::abs(f.qty - g.qty) > 0.0001 || std::abs(f.value - g.value) > 0.0051)
                out << QStringLiteral("item %1 store %2: %3/%4 vs %5/%6")
                           .arg(k.first)
                           .arg(k.second)
                           .arg(f.qty)
                           .arg(f.value)
                           .arg(g.qty)
                           .arg(g.value);
        }
    };
    check(a, b);
    check(b, a);
    out.removeDuplicates();
    return out;
}

class StoreStockTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        period::registerPeriodProcedures();
        m_conn.emplace(cnstr());
        accountdb::createAccountSchema(conn());
        accountdb::insertProfileDefaults(conn(), 2025, 1);
        demo::GeneratorCounts c;
        c.items = 40;
        c.stores = 4; // the fourth is virtual
        c.members = 5;
        c.bills = 500;
        c.lines = 4;
        c.months = 2;
        c.lastDay = QDate(2025, 3, 20);
        demo::generateAccount(conn(), c);
        // Transfers and bills that name no store, which count as store 0.
        conn().execute(QStringLiteral("update ICStockBill set FInStockID=null where FTranType=15 and FInterID%3=0"));
    }

    void TearDown() override {
        m_conn.reset();
        BackendTest::TearDown();
    }
    db::Connection &conn() { return *m_conn; }

    period::YearPeriod current() {
        return {accountdb::readProfile(conn(), QStringLiteral("CurrentYear")).toInt(),
                accountdb::readProfile(conn(), QStringLiteral("CurrentPeriod")).toInt()};
    }

    // Each store's quantity and value at the end of `day`, from the current month's openings and the
    // bills, added up line by line here rather than by the program's statements.
    Figures asOf(const QDate &day) {
        const period::YearPeriod p = current();
        Figures f;
        for (auto rs = conn().open(QStringLiteral("select FItemID,FStockID,FBegQty,FBegBal from icstockbal "
                                                  "where FYear=? and FPeriod=?"),
                                   {p.year, p.period});
             !rs.eof(); rs.moveNext()) {
            Figure &x = f[{rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FStockID"))}];
            x.qty += rs.toDouble(QStringLiteral("FBegQty"));
            x.value += rs.toDouble(QStringLiteral("FBegBal"));
        }
        for (auto rs = conn().open(
                 QStringLiteral("select b.FTranType,b.FInStockID,b.FOutStockID,e.FItemID,e.FQty,e.FAmount,e.FCost "
                                "from ICStockBill b inner join ICStockBillEntry e on e.FInterID=b.FInterID "
                                "where b.FDeleted=0 and b.FYear*12+b.FPeriod>=? and b.FDate<?"),
                 {p.index(), QDateTime(day.addDays(1), QTime(0, 0))});
             !rs.eof(); rs.moveNext()) {
            const int type = rs.toInt(QStringLiteral("FTranType")), item = rs.toInt(QStringLiteral("FItemID"));
            const double q = rs.toDouble(QStringLiteral("FQty")), cost = rs.toDouble(QStringLiteral("FCost"));
            const int in = rs.toInt(QStringLiteral("FInStockID")), out = rs.toInt(QStringLiteral("FOutStockID"));
            const bool receipt = type == 12 || type == 15 || type == 16 || type == 24;
            const bool issue = type == 14 || type == 22 || type == 25 || type == 26 || type == 33 || type == 99;
            if (receipt || type == 31) {
                Figure &x = f[{item, in}];
                x.qty += q;
                x.value += type == 12 ? rs.toDouble(QStringLiteral("FAmount")) : cost;
            }
            if (issue || type == 31) {
                Figure &x = f[{item, out}];
                x.qty -= q;
                x.value -= cost;
            }
        }
        return f;
    }

    Figures kept() {
        Figures f;
        for (auto rs = conn().open(QStringLiteral("select FItemID,FStockID,FQty from ICInventory")); !rs.eof();
             rs.moveNext())
            f[{rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FStockID"))}].qty =
                rs.toDouble(QStringLiteral("FQty"));
        return f;
    }
    static Figures quantities(Figures f) {
        for (auto &[k, x] : f)
            x.value = 0;
        return f;
    }

    // Every month's store rows add up to the item's opening.
    int unbalancedOpenings() {
        return conn()
            .scalar(QStringLiteral(
                "select count(*) from icbal b left join (select FYear,FPeriod,FItemID,sum(FBegQty) as q,"
                "sum(FBegBal) as v from icstockbal group by FYear,FPeriod,FItemID) s on s.FYear=b.FYear "
                "and s.FPeriod=b.FPeriod and s.FItemID=b.FItemID where abs(b.FBegQty-coalesce(s.q,0))>0.00005 "
                "or abs(b.FBegBal-coalesce(s.v,0))>0.0049"))
            .toInt();
    }

    std::map<QDate, Figures> everyDay(const QDate &from, const QDate &to) {
        std::map<QDate, Figures> out;
        for (QDate d = from; d <= to; d = d.addDays(1))
            out[d] = asOf(d);
        return out;
    }
    std::optional<db::Connection> m_conn;
    void expectSameDays(const std::map<QDate, Figures> &before, const char *after) {
        for (const auto &[day, figures] : before) {
            const QStringList diff = differences(figures, asOf(day));
            EXPECT_TRUE(diff.isEmpty()) << after << " " << day.toString(Qt::ISODate).toStdString() << ": "
                                        << diff.mid(0, 5).join(u"; ").toStdString() << " (" << diff.size() << ")";
        }
    }
};

} // namespace

TEST_P(StoreStockTest, each_stores_stock_on_every_later_day_survives_clearing_closing_and_reopening) {
    ASSERT_GT(conn().scalar(QStringLiteral("select count(*) from ICStockBill where FTranType=31")).toInt(), 0);
    accountdb::rebuildStoreStock(conn()); // after the bills without a store
    EXPECT_EQ(unbalancedOpenings(), 0);
    const auto before = everyDay(QDate(2025, 3, 8), QDate(2025, 3, 31));
    // The generator's stores hold stock of their own: a test that read only totals would pass too easily.
    EXPECT_GT(before.at(QDate(2025, 3, 31)).size(), 40u * 3);
    EXPECT_TRUE(differences(quantities(before.at(QDate(2025, 3, 31))), kept()).isEmpty());

    const auto close = [&] {
        db::ProcArgs args;
        args.add(QStringLiteral("@BillerID"), db::ParamType::Integer, 0)
            .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(QDate(2025, 3, 31), QTime(0, 0)));
        conn().callProcedure(QStringLiteral("sp_ClosePeriod"), args, 3000);
    };
    close();
    EXPECT_EQ(current().period, 4);
    EXPECT_EQ(unbalancedOpenings(), 0);
    // April opens with what each store held at the end of March.
    const QStringList carried = differences(before.at(QDate(2025, 3, 31)), asOf(QDate(2025, 4, 1)));
    EXPECT_TRUE(carried.isEmpty()) << carried.mid(0, 5).join(u"; ").toStdString();
    EXPECT_TRUE(accountdb::storeStockDifferences(conn()).isEmpty());

    conn().callProcedure(QStringLiteral("sp_UnClosePeriod"), db::ProcArgs(), 3000);
    EXPECT_EQ(current().period, 3);
    expectSameDays(before, "reopened");
    EXPECT_TRUE(accountdb::storeStockDifferences(conn()).isEmpty());

    period::clearHistory(cnstr(), {true, true, false, QDate(2025, 3, 8), false, false});
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill where FDate<?"),
                            {QDateTime(QDate(2025, 3, 8), QTime(0, 0))})
                  .toInt(),
              0);
    expectSameDays(before, "cleared");
    EXPECT_EQ(unbalancedOpenings(), 0);
    EXPECT_TRUE(accountdb::storeStockDifferences(conn()).isEmpty());

    // Closing after clearing carries the folded openings on.
    close();
    EXPECT_TRUE(differences(before.at(QDate(2025, 3, 31)), asOf(QDate(2025, 4, 2))).isEmpty());

    // Without the balances, today's stock is what the remaining bills say.
    conn().callProcedure(QStringLiteral("sp_UnClosePeriod"), db::ProcArgs(), 3000);
    period::clearHistory(cnstr(), {false, true, false, QDate(2025, 3, 15), false, false});
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icstockbal")).toInt(), 0);
    EXPECT_TRUE(differences(quantities(asOf(QDate(2025, 3, 31))), kept()).isEmpty());
}

TEST_P(StoreStockTest, an_older_set_is_brought_up_once_and_a_kept_figure_that_drifted_is_found) {
    // A set made before openings had a store: its per-store stock is the bills', the openings stay unsplit.
    for (const char *t : {"icstockbal", "ICInventory", "t_ClosePeriodStockBal"})
        conn().execute(QStringLiteral("drop table %1").arg(QLatin1String(t)));
    accountdb::writeProfile(conn(), QStringLiteral("Ver"), QStringLiteral("7.1"));
    EXPECT_TRUE(accountdb::upgradeAccountSet(conn()));
    EXPECT_EQ(accountdb::readProfile(conn(), QStringLiteral("Ver")), accountdb::SchemaVersion);
    EXPECT_FALSE(accountdb::upgradeAccountSet(conn()));
    EXPECT_TRUE(accountdb::storeStockDifferences(conn()).isEmpty());
    // The unsplit openings count as store 0, so the stores still add up to each item's total.
    const double total = conn()
                             .scalar(QStringLiteral("select sum(FBegQty) from icbal where FYear=2025 and FPeriod=3"))
                             .toDouble() +
                         conn()
                             .scalar(QStringLiteral("select sum(case when FTranType in (12,15,16,24) then e.FQty "
                                                    "when FTranType in (14,22,25,26,33,99) then -e.FQty else 0 end) "
                                                    "from ICStockBill b join ICStockBillEntry e on "
                                                    "e.FInterID=b.FInterID where b.FPeriod=3 and b.FDeleted=0"))
                             .toDouble();
    EXPECT_NEAR(conn().scalar(QStringLiteral("select sum(FQty) from ICInventory")).toDouble(), total, 0.001);
    EXPECT_GT(conn().scalar(QStringLiteral("select count(*) from ICInventory where FStockID=0")).toInt(), 0);

    conn().execute(QStringLiteral("update ICInventory set FQty=FQty+1 where FItemID=7 and FStockID=1"));
    const auto diffs = accountdb::storeStockDifferences(conn());
    ASSERT_EQ(diffs.size(), 1);
    EXPECT_EQ(diffs[0].itemId, 7);
    EXPECT_EQ(diffs[0].stockId, 1);
    EXPECT_NEAR(diffs[0].kept - diffs[0].computed, 1, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreStockTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         backendName);

} // namespace zostore::test
