// Cost calculation in its three styles and the hand correction, against both backends.
#include "LastPriceLoop.h"
#include "PeriodFixture.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Error.h"
#include "demo/Generator.h"
#include "period/CostCalculation.h"
#include "period/ProcedureSteps.h"

#include <QRandomGenerator>
#include <cmath>
#include <map>

using namespace zostore;
using namespace zostore::test;
using period::CostCalculation;

namespace {

class CostCalculationTest : public PeriodFixture {
protected:
    QStringList entries() { return dump(QStringLiteral("ICStockBillEntry")); }
};

TEST_P(CostCalculationTest, latest_purchase_price_rules) {
    for (int i = 1; i <= 4; ++i)
        addItem(i, QString::number(i));
    // a receipt of an earlier year still counts; deleted receipts count too, as they always have
    addBill(10, 12, QDate(2023, 12, 30), {{2, 1, 7, 7}});
    addBill(20, 12, QDate(2024, 1, 10), {{1, 5, 10, 50}, {3, 1, 4, 4}});
    // lower FInterID but later date: the higher FInterID wins whatever the dates
    addBill(15, 12, QDate(2024, 1, 12), {{1, 5, 11, 55}});
    // the same item twice on one receipt: the last line wins
    addBill(30, 12, QDate(2024, 1, 20), {{3, 1, 5, 5}, {3, 1, 6, 6}});
    addBill(40, 22, QDate(2024, 1, 9), {{1, 2, 20, 40, 1.5, 3}});     // before any receipt of item 1
    addBill(41, 22, QDate(2024, 1, 10), {{1, 2, 20, 40}, {2, 1}});    // same day as the receipt
    addBill(42, 25, QDate(2024, 1, 15), {{1, 4}, {3, 2}, {4, 1, 9, 9, 8, 8}});
    addBill(43, 99, QDate(2024, 1, 25), {{3, 3}, {1, 1}});
    addBill(44, 22, QDate(2024, 2, 1), {{1, 1}});                     // another month
    addBill(45, 22, QDate(2024, 1, 25), {{3, 1}, {3, 2}});            // one item on two lines
    CostCalculation calc(cnstr(), {2024, 1});
    EXPECT_EQ(calc.run(1), CostCalculation::Outcome::Done);

    EXPECT_DOUBLE_EQ(entryField(40, 1, QStringLiteral("FUnitCost")), 1.5);
    EXPECT_DOUBLE_EQ(entryField(41, 1, QStringLiteral("FUnitCost")), 10);
    EXPECT_DOUBLE_EQ(entryField(41, 1, QStringLiteral("FCost")), 20);
    EXPECT_DOUBLE_EQ(entryField(41, 2, QStringLiteral("FUnitCost")), 7);
    EXPECT_DOUBLE_EQ(entryField(42, 1, QStringLiteral("FUnitCost")), 10);
    EXPECT_DOUBLE_EQ(entryField(42, 2, QStringLiteral("FUnitCost")), 4);
    EXPECT_DOUBLE_EQ(entryField(42, 3, QStringLiteral("FUnitCost")), 8);
    EXPECT_DOUBLE_EQ(entryField(43, 1, QStringLiteral("FUnitCost")), 6);
    EXPECT_DOUBLE_EQ(entryField(43, 1, QStringLiteral("FCost")), 18);
    EXPECT_DOUBLE_EQ(entryField(43, 2, QStringLiteral("FUnitCost")), 10);
    EXPECT_DOUBLE_EQ(entryField(44, 1, QStringLiteral("FUnitCost")), 0);
    EXPECT_DOUBLE_EQ(entryField(45, 1, QStringLiteral("FCost")), 6);
    EXPECT_DOUBLE_EQ(entryField(45, 2, QStringLiteral("FCost")), 12);
    // other issues are valued at cost, their header sums the entries
    EXPECT_DOUBLE_EQ(entryField(42, 1, QStringLiteral("FPrice")), 10);
    EXPECT_DOUBLE_EQ(entryField(42, 1, QStringLiteral("FAmount")), 40);
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FSumAmount from ICStockBill where FInterID=42")).toDouble(),
                     40 + 8 + 8);
    // the sale keeps its price and amount
    EXPECT_DOUBLE_EQ(entryField(41, 1, QStringLiteral("FAmount")), 40);
}

TEST_P(CostCalculationTest, set_based_latest_price_equals_the_per_bill_loop) {
    const int items = 30;
    for (int i = 1; i <= items; ++i)
        addItem(i, QString::number(i));
    QRandomGenerator rng(20240131);
    const int types[] = {22, 24, 25, 31, 99, 15, 16, 26, 14, 33};
    int interId = 1;
    for (int day = 1; day <= 31; ++day) {
        const QDate date(day <= 3 ? 2023 : 2024, day <= 3 ? 12 : 1, day <= 3 ? 28 + day : day);
        for (int b = 0; b < 12; ++b) {
            // ids are not in date order, so the highest FInterID is not always the latest receipt
            const int id = static_cast<int>(rng.bounded(1, 100000)) * 100 + interId++ % 100;
            const bool receipt = rng.bounded(3) == 0;
            std::vector<Line> lines;
            const int n = static_cast<int>(rng.bounded(1, 6));
            for (int l = 0; l < n; ++l) {
                const double price = rng.bounded(100, 2000) / 100.0;
                lines.push_back({static_cast<int>(rng.bounded(1, items + 1)), double(rng.bounded(1, 9)), price,
                                 price, rng.bounded(2) ? 0.5 : 0.0});
            }
            addBill(id, receipt ? 12 : types[rng.bounded(10)], date, lines);
        }
    }
    db::Connection copy(db().createSibling(QStringLiteral("loop")));
    {
        const QStringList before = entries();
        CostCalculation(cnstr(), {2024, 1}).lastPurchasePrice();
        const QStringList setBased = entries();
        EXPECT_NE(setBased, before);
        const QStringList headers = dump(QStringLiteral("ICStockBill"));
        // back to the state before and run the reference
        conn().execute(QStringLiteral("delete from ICStockBillEntry"));
        for (const QString &row : before) {
            const QStringList c = row.split(u'|');
            conn().execute(QStringLiteral("insert into ICStockBillEntry (FInterID,FEntryID,FItemID,FQty,FMainQty,"
                                          "FPrice,FAmount,FUnitCost,FCost,FPreSend) values (?,?,?,?,?,?,?,?,?,?)"),
                           {c[0].toDouble(), c[1].toDouble(), c[2].toDouble(), c[3].toDouble(), c[4].toDouble(),
                            c[5].toDouble(), c[6].toDouble(), c[7].toDouble(), c[8].toDouble(), c[9].toDouble()});
        }
        conn().execute(QStringLiteral("update ICStockBill set FSumAmount=0"));
        EXPECT_GT(lastPurchasePriceByBill(conn(), 2024, 1), 200);
        EXPECT_EQ(entries(), setBased);
        EXPECT_EQ(dump(QStringLiteral("ICStockBill")), headers);
    }
}

TEST_P(CostCalculationTest, empty_values_are_filled_and_a_second_run_changes_nothing) {
    for (int i = 1; i <= 3; ++i)
        addItem(i, QString::number(i));
    setCurrent(2024, 1);
    addBill(1, 12, QDate(2024, 1, 2), {{1, 2, 5, 10}, {2, 1, 3, 3}, {3, 1, 0, 0}});
    addBill(2, 22, QDate(2024, 1, 3), {{1, 2, 9, 18, 4, 8}, {3, 1, 9, 9, 6, 6}});
    addBill(3, 25, QDate(2024, 1, 4), {{2, 2, 0, 0, 3, 6}});
    conn().execute(QStringLiteral("update ICStockBillEntry set FUnitCost=null, FCost=null where FInterID=2 "
                                  "and FEntryID=1"));
    // the cost is already right, only the price and the amount are missing
    conn().execute(QStringLiteral("update ICStockBillEntry set FPrice=null, FAmount=null where FInterID=3"));
    conn().execute(QStringLiteral("update ICStockBill set FSumAmount=null"));
    // a receipt line without a price passes that on as it is
    conn().execute(QStringLiteral("update ICStockBillEntry set FPrice=null where FInterID=1 and FEntryID=3"));
    const auto isNull = [this](int interId, int entryId, const char *field) {
        return conn()
            .scalar(QStringLiteral("select %1 from ICStockBillEntry where FInterID=? and FEntryID=?")
                        .arg(QLatin1String(field)),
                    {interId, entryId})
            .isNull();
    };

    CostCalculation calc(cnstr(), {2024, 1});
    calc.run(1);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FUnitCost")), 5);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FCost")), 10);
    EXPECT_TRUE(isNull(2, 2, "FUnitCost"));
    EXPECT_TRUE(isNull(2, 2, "FCost"));
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FPrice")), 3);
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FAmount")), 6);
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FSumAmount from ICStockBill where FInterID=3")).toDouble(),
                     6);
    auto before = dumpAll();
    calc.run(1);
    EXPECT_EQ(dumpAll(), before);

    conn().execute(QStringLiteral("update ICStockBillEntry set FUnitCost=null, FCost=null, FPrice=null, FAmount=null "
                                  "where FInterID=3"));
    conn().execute(QStringLiteral("update t_ICItem set FPjCost=null"));
    conn().execute(QStringLiteral("update ICStockBill set FSumAmount=null"));
    calc.run(2);
    // item 2: 3 / 1 from the receipt
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FUnitCost")), 3);
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FCost")), 6);
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FAmount")), 6);
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FSumAmount from ICStockBill where FInterID=3")).toDouble(),
                     6);
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FPjCost from t_ICItem where FItemID=2")).toDouble(), 3);
    before = dumpAll();
    calc.run(2);
    EXPECT_EQ(dumpAll(), before);
}

TEST_P(CostCalculationTest, weighted_average_by_hand) {
    for (int i = 1; i <= 3; ++i)
        addItem(i, QString::number(i));
    setCurrent(2024, 3);
    addBalance(1, 2024, 3, 3, 10);
    addBalance(2, 2024, 3, -2, -5);
    addBill(1, 12, QDate(2024, 3, 2), {{1, 3, 3.5, 10.5}, {2, 2, 4, 8}});
    addBill(2, 12, QDate(2024, 3, 3), {{1, 1, 4.9, 4.9}});
    addBill(3, 22, QDate(2024, 3, 4), {{1, 7, 9, 63}, {2, 1, 9, 9, 2, 2}});
    addBill(4, 31, QDate(2024, 3, 5), {{1, 2}});
    addBill(5, 12, QDate(2024, 3, 6), {{1, 100, 1, 100}}, 1); // deleted
    addBill(6, 22, QDate(2024, 2, 6), {{1, 1}});              // closed month
    CostCalculation(cnstr(), {2024, 3}).run(2);
    // (10 + 10.5 + 4.9) / (3 + 3 + 1) = 3.628571... -> 3.6286
    EXPECT_NEAR(entryField(3, 1, QStringLiteral("FUnitCost")), 3.6286, 1e-9);
    EXPECT_NEAR(entryField(3, 1, QStringLiteral("FCost")), 25.40, 1e-9);
    EXPECT_NEAR(entryField(4, 1, QStringLiteral("FAmount")), 7.26, 1e-9);
    EXPECT_NEAR(conn().scalar(QStringLiteral("select FSumAmount from ICStockBill where FInterID=4")).toDouble(), 7.26,
                1e-9);
    EXPECT_NEAR(conn().scalar(QStringLiteral("select FPjCost from t_ICItem where FItemID=1")).toDouble(), 3.6286, 1e-9);
    // base quantity -2 + 2 = 0: no average, the typed cost stays
    EXPECT_DOUBLE_EQ(entryField(3, 2, QStringLiteral("FUnitCost")), 2);
    EXPECT_DOUBLE_EQ(entryField(6, 1, QStringLiteral("FUnitCost")), 0);

    // a failure half-way keeps the month as it was
    conn().execute(QStringLiteral("update ICStockBillEntry set FUnitCost=0, FCost=0"));
    const auto before = dumpAll();
    for (const char *step : {"cost.entries", "cost.valued", "cost.items"}) {
        period::setStepObserver([step](const QString &s) {
            if (s == QLatin1String(step))
                throw Error(QStringLiteral("故障"));
        });
        EXPECT_THROW(CostCalculation(cnstr(), {2024, 3}).run(2), Error) << step;
        if (QLatin1String(step) != QLatin1String("cost.items")) {
            EXPECT_THROW(CostCalculation(cnstr(), {2024, 3}).run(1), Error) << step;
        }
        EXPECT_EQ(dumpAll(), before) << step;
    }
}

TEST_P(CostCalculationTest, price_style_cost_and_names_with_apostrophes) {
    addItem(1, QStringLiteral("1"));
    addItem(2, QStringLiteral("2"));
    addBill(1, 22, QDate(2024, 1, 3), {{1, 2}, {2, 1}});
    addBill(2, 15, QDate(2024, 1, 3), {{2, 4}});
    addBill(3, 12, QDate(2024, 1, 3), {{2, 4, 1, 4}});
    const auto before = dumpAll();
    CostCalculation calc(cnstr(), {2024, 1});
    EXPECT_EQ(calc.run(3), CostCalculation::Outcome::NoPriceStyle);
    setProfile(QStringLiteral("CostStyle_PriceName"), QStringLiteral("没有的价"));
    EXPECT_EQ(calc.run(3), CostCalculation::Outcome::NoPriceStyle);
    EXPECT_EQ(calc.run(7), CostCalculation::Outcome::Done);
    EXPECT_EQ(dumpAll().value(QStringLiteral("ICStockBillEntry")), before.value(QStringLiteral("ICStockBillEntry")));

    const QString name = QStringLiteral("会员'价\"; drop table icbal;--");
    conn().execute(QStringLiteral("update t_PriceStyle set FName=? where FItemID=2"), {name});
    setProfile(QStringLiteral("CostStyle_PriceName"), name);
    EXPECT_EQ(conn().scalar(QStringLiteral("select FValue from t_systemprofile where FKey='CostStyle_PriceName'")),
              QVariant(name));
    EXPECT_EQ(calc.run(3), CostCalculation::Outcome::Done);
    EXPECT_DOUBLE_EQ(entryField(1, 1, QStringLiteral("FUnitCost")), 1.25);
    EXPECT_DOUBLE_EQ(entryField(1, 1, QStringLiteral("FCost")), 2.5);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FAmount")), 10);
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FUnitCost")), 0);
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FSumAmount from ICStockBill where FInterID=2")).toDouble(), 10);
}

// A generated month valued by each style, checked entry by entry against the style's rule worked out here.
TEST_P(CostCalculationTest, the_three_styles_give_their_own_costs_on_generated_data) {
    demo::GeneratorCounts counts;
    counts.items = 5;
    counts.stores = 3;
    counts.members = 0;
    counts.bills = 80;
    counts.lines = 3;
    counts.months = 2;
    counts.lastDay = QDate(2025, 2, 28);
    const int costed1[] = {22, 24, 25, 31, 99, 15, 16, 26, 14}, costed2[] = {14, 15, 16, 22, 24, 25, 26, 31, 33, 99};
    const auto in = [](int t, const auto &list) {
        return std::find(std::begin(list), std::end(list), t) != std::end(list);
    };

    struct Entry {
        int interId, entryId, type, item;
        QDate date;
        double qty, price, amount, cost;
    };
    double totals[4] = {};
    for (int style = 1; style <= 3; ++style) {
        const QString cs = db().createSibling(QStringLiteral("style%1").arg(style));
        db::Connection c(cs);
        accountdb::createAccountSchema(c);
        accountdb::insertProfileDefaults(c, 2025, 1);
        demo::generateAccount(c, counts);
        accountdb::writeProfile(c, QStringLiteral("CostStyle_PriceName"), QStringLiteral("批发价"), QString());
        std::vector<Entry> all;
        for (auto rs = c.open(QStringLiteral("select t1.FInterID,t2.FEntryID,t1.FTranType,t2.FItemID,t1.FDate,"
                                             "t2.FQty,t2.FPrice,t2.FAmount,t2.FCost from ICStockBill t1 "
                                             "inner join ICStockBillEntry t2 on t1.FInterID=t2.FInterID "
                                             "order by t1.FInterID,t2.FEntryID"));
             !rs.eof(); rs.moveNext())
            all.push_back({rs.toInt(QStringLiteral("FInterID")), rs.toInt(QStringLiteral("FEntryID")),
                           rs.toInt(QStringLiteral("FTranType")), rs.toInt(QStringLiteral("FItemID")),
                           rs.toDate(QStringLiteral("FDate")),
                           rs.toDouble(QStringLiteral("FQty")), rs.toDouble(QStringLiteral("FPrice")),
                           rs.toDouble(QStringLiteral("FAmount")), rs.toDouble(QStringLiteral("FCost"))});
        std::map<std::pair<int, int>, double> expected; // (FInterID, FEntryID) -> FCost
        std::map<int, double> wholesale, baseQty, baseVal;
        for (auto rs = c.open(QStringLiteral("select FItemID,FPrice_2 from t_ICItem")); !rs.eof(); rs.moveNext())
            wholesale[rs.toInt(QStringLiteral("FItemID"))] = rs.toDouble(QStringLiteral("FPrice_2"));
        for (auto rs = c.open(QStringLiteral("select FItemID,FBegQty,FBegBal from icbal where FYear=2025 and "
                                             "FPeriod=2"));
             !rs.eof(); rs.moveNext()) {
            baseQty[rs.toInt(QStringLiteral("FItemID"))] += rs.toDouble(QStringLiteral("FBegQty"));
            baseVal[rs.toInt(QStringLiteral("FItemID"))] += rs.toDouble(QStringLiteral("FBegBal"));
        }
        for (const Entry &e : all)
            if (e.type == 12 && e.date.month() == 2) {
                baseQty[e.item] += e.qty;
                baseVal[e.item] += e.amount;
            }
        for (const Entry &e : all) {
            if (e.date.month() != 2)
                continue;
            double cost = e.cost;
            if (style == 1 && in(e.type, costed1)) {
                // the receipt with the highest FInterID dated on or before the bill, its last line of the item
                const Entry *last = nullptr;
                for (const Entry &r : all)
                    if (r.type == 12 && r.item == e.item && r.date <= e.date &&
                        (!last || r.interId > last->interId ||
                         (r.interId == last->interId && r.entryId > last->entryId)))
                        last = &r;
                if (last)
                    cost = e.qty * last->price;
            } else if (style == 2 && in(e.type, costed2) && baseQty[e.item] > 0) {
                const double unit = std::round(baseVal[e.item] / baseQty[e.item] * 10000) / 10000;
                cost = std::round(e.qty * unit * 100) / 100;
            } else if (style == 3 && in(e.type, costed1)) {
                cost = e.qty * wholesale[e.item];
            }
            expected[{e.interId, e.entryId}] = cost;
            if (e.type == 22 || e.type == 99)
                totals[style] += cost;
        }
        ASSERT_EQ(CostCalculation(cs, {2025, 2}).run(style), CostCalculation::Outcome::Done);
        int checked = 0;
        for (const auto &[key, cost] : expected) {
            const double got = c.scalar(QStringLiteral("select FCost from ICStockBillEntry where FInterID=? and "
                                                       "FEntryID=?"),
                                        {key.first, key.second})
                                   .toDouble();
            EXPECT_NEAR(got, cost, 0.006) << "style " << style << " bill " << key.first << " line " << key.second;
            ++checked;
        }
        EXPECT_GT(checked, 100);
    }
    // the cost of goods sold tells the styles apart
    EXPECT_GT(std::abs(totals[1] - totals[2]), 1) << totals[1] << " " << totals[2];
    EXPECT_GT(std::abs(totals[2] - totals[3]), 1) << totals[2] << " " << totals[3];
    EXPECT_GT(std::abs(totals[1] - totals[3]), 1) << totals[1] << " " << totals[3];
}

// Each costing run rewrites most lines of the month; on PostgreSQL the new versions must stay on their lines'
// pages (once the last run's old versions are vacuumed away, as autovacuum does between runs), or the table
// grows by the month on each run and each of its indexes takes a new entry per line.
TEST_P(CostCalculationTest, repeated_costing_rewrites_lines_on_their_pages) {
    demo::GeneratorCounts counts;
    counts.items = 40;
    counts.stores = 2;
    counts.members = 0;
    counts.bills = 700;
    counts.lines = 4;
    counts.months = 1;
    counts.lastDay = QDate(2025, 1, 31);
    const QString cs = db().createSibling(QStringLiteral("pages"));
    db::Connection c(cs);
    accountdb::createAccountSchema(c);
    accountdb::insertProfileDefaults(c, 2025, 1);
    demo::generateAccount(c, counts);
    std::map<std::pair<int, int>, QString> loadedOn;
    const auto linesMoved = [&c, &loadedOn] {
        int moved = 0;
        if (c.isPostgres())
            for (auto rs = c.open(
                     QStringLiteral("select FInterID, FEntryID, ctid::text as FPlace from ICStockBillEntry"));
                 !rs.eof(); rs.moveNext()) {
                const QString page = rs.text(QStringLiteral("FPlace")).section(u',', 0, 0);
                auto [at, fresh] = loadedOn.try_emplace(
                    {rs.toInt(QStringLiteral("FInterID")), rs.toInt(QStringLiteral("FEntryID"))}, page);
                moved += !fresh && at->second != page;
            }
        return moved;
    };
    linesMoved();
    double cost = c.scalar(QStringLiteral("select sum(FCost) from ICStockBillEntry")).toDouble();
    for (int style : {1, 2, 1}) {
        ASSERT_EQ(CostCalculation(cs, {2025, 1}).run(style), CostCalculation::Outcome::Done);
        const double now = c.scalar(QStringLiteral("select sum(FCost) from ICStockBillEntry")).toDouble();
        EXPECT_GT(std::abs(now - cost), 1) << "style " << style;
        cost = now;
        // a few lines leave a page whose item pointers have grown; a full table would move nearly all of them
        EXPECT_LT(linesMoved(), counts.bills * counts.lines / 10) << "style " << style;
        if (c.isPostgres())
            c.execute(QStringLiteral("vacuum ICStockBillEntry"));
    }
}

TEST_P(CostCalculationTest, hand_correction) {
    addItem(1, QStringLiteral("1"));
    addBill(1, 25, QDate(2024, 1, 3), {{1, 4, 3, 12}});
    addBill(2, 22, QDate(2024, 1, 3), {{1, 4, 3, 12}});
    CostCalculation calc(cnstr(), {2024, 1});
    calc.correctUnitCost(1, 1, 12.5, CostCalculation::isValuedAtCost(QStringLiteral("其他出库单")));
    calc.correctUnitCost(2, 1, 12.5, CostCalculation::isValuedAtCost(QStringLiteral("销售出库单")));
    EXPECT_DOUBLE_EQ(entryField(1, 1, QStringLiteral("FCost")), 50);
    EXPECT_DOUBLE_EQ(entryField(1, 1, QStringLiteral("FPrice")), 12.5);
    EXPECT_DOUBLE_EQ(entryField(1, 1, QStringLiteral("FAmount")), 50);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FCost")), 50);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FPrice")), 3);
    EXPECT_TRUE(CostCalculation::isValuedAtCost(QStringLiteral("仓库调拨单")));
    EXPECT_FALSE(CostCalculation::isValuedAtCost(QString()));
}

ZOSTORE_BACKENDS(CostCalculationTest);

} // namespace
