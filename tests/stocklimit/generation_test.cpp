// Stock limits from sales: the closing's class and the window's generation.
#include "StockFixture.h"

#include "stocklimit/GenMinMaxStock.h"
#include "stocklimit/StockLimitGeneration.h"

namespace zostore::test {

using stocklimit::GenerationRequest;

class GenerationTest : public StockFixture {
protected:
    void sales() {
        bill(1, at(5), 22, 1, {{1, 7}, {2, 7}});
        bill(2, at(6), 22, 2, {{1, 3}});
        bill(3, at(7), 99, 1, {{1, 100}});       // counter sale
        bill(4, at(8), 22, 1, {{3, 50}}, 1);     // deleted
        bill(5, QDateTime(QDate(2026, 10, 31), QTime(23, 0)), 22, 1, {{3, 40}}); // before the span
        bill(6, at(30, 15), 22, 1, {{3, 2}});    // last day, afternoon
        bill(7, at(9), 22, 1, {{4, 9}, {6, 4}});
        bill(8, at(10), 24, 1, {{2, 500}});      // sales return is not a sale
        conn->execute(QStringLiteral("update t_icitem set FMinStock=5,FMaxStock=6,FSafeStock=7 where FItemID in (5,6)"));
    }
};

TEST_P(GenerationTest, closing_counts_sales_issues_per_store_and_in_total) {
    sales();
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(2,2,8,8,8)"));
    stocklimit::GenMinMaxStock(cnstr()).GenMaxMinStock(first, last, 1.1, 1.5, 0, true);

    // 10 x 1.1 is 11 on both backends, 7 x 1.5 = 10.5 rounds up to 11, a multiplier of 0 gives 0.
    EXPECT_EQ(totals(1), limits(15, 11, 0));
    EXPECT_EQ(totals(2), limits(11, 8, 0));
    EXPECT_EQ(totals(3), limits(3, 3, 0)) << "the last day counts whole, deleted and earlier bills not";
    EXPECT_EQ(totals(5), limits(5, 6, 7)) << "no sales: limits kept";

    EXPECT_EQ(store(1, 1), limits(11, 8, 0)) << "own issues only, no counter sales";
    EXPECT_EQ(store(2, 1), limits(5, 4, 0));
    EXPECT_EQ(store(2, 2), limits(8, 8, 8)) << "a store row without sales keeps its limits";
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock where FStockID=3")), 0) << "virtual store";
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock where FItemID=5")), 0) << "deleted item";
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock")), 10);

    // Running again adds no rows.
    stocklimit::GenMinMaxStock(cnstr()).GenMaxMinStock(first, last, 1.1, 1.5, 0, true);
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock")), 10);
}

TEST_P(GenerationTest, window_totals_count_counter_sales_in_the_item_range) {
    sales();
    bill(9, at(11), 22, 1, {{2, -7}}); // item 2 nets to 0
    GenerationRequest r{first, last, QString(), QString(), 0, 1, 2, 0.5, true};
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(totals(1), limits(110, 220, 55));
    EXPECT_EQ(totals(2), QVariantList({0.0, 0.0, 0.0})) << "net 0 keeps the (null) totals";
    EXPECT_EQ(totals(4), QVariantList({0.0, 0.0, 0.0})) << "zz1 sorts after z";
    EXPECT_EQ(totals(6), limits(5, 6, 7)) << "甲'1 sorts after z too";

    r.fromItem = QStringLiteral("A002");
    r.toItem = QStringLiteral("B001");
    r.minF = 3;
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(totals(1), limits(110, 220, 55)) << "outside the range";
    EXPECT_EQ(totals(3), limits(6, 4, 1));

    r.fromItem = QStringLiteral("甲'1");
    r.toItem = QStringLiteral("甲'1");
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(totals(6), limits(12, 8, 2));
}

TEST_P(GenerationTest, window_store_rows_from_own_or_all_sales) {
    sales();
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(1,3,9,9,9),(1,4,9,9,9)"));
    GenerationRequest r{first, last, QStringLiteral("A001"), QStringLiteral("B001"), 1, 1, 2, 0, true};
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(store(1, 1), limits(107, 214, 0)) << "own issues and own counter sales";
    EXPECT_EQ(store(1, 2), limits(7, 14, 0));
    EXPECT_EQ(store(1, 3), limits(2, 4, 0));
    EXPECT_EQ(store(1, 4), limits(9, 9, 9)) << "outside the range: untouched";
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock where FStockID=1")), 4) << "A003 is deleted";
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock where FStockID=2")), 0);

    r.ownStoreSales = false;
    r.stockId = 2;
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(store(2, 1), limits(110, 220, 0)) << "every store's sales";
    bill(10, at(12), 22, 1, {{3, -2}});
    stocklimit::StockLimitGeneration::generate(*conn, r);
    EXPECT_EQ(store(2, 3), limits(0, 0, 0)) << "in range without positive sales: reset to 0";
    EXPECT_EQ(totals(1), QVariantList({0.0, 0.0, 0.0})) << "a store generation leaves the totals";
}

ZOSTORE_BACKENDS(GenerationTest);

} // namespace zostore::test
