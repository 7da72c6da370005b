// The four lists against an account set where each rule gives its own answer, and price corrections.
#include "ReminderFixture.h"

#include "db/Error.h"
#include "db/Procedure.h"
#include "reminders/PriceCorrection.h"

using namespace zostore;
using namespace zostore::reminders;

namespace zostore::test {
namespace {

class ReminderPagesTest : public ReminderFixture {};

QStringList headers(const ReminderPage &p, bool lower = false) {
    QStringList out;
    for (const auto &c : p.columns)
        if (!c.hidden)
            out << (lower ? c.lower : c.upper);
    return out;
}

TEST_P(ReminderPagesTest, price_pages_follow_visible_styles_dates_and_the_purchase_price_grant) {
    ReminderPage p = buildPage(*conn, PriceBelowCost, options());
    EXPECT_EQ(headers(p), (QStringList{"商品代码", "商品名称", "规格型号", "单位", "进价", "零售价", "会员价",
                                       "批发价"}));
    // A003 is above cost everywhere, C001 is deleted.
    EXPECT_EQ(column(p, QStringLiteral("FNumber")), (QStringList{"A001", "A002", "B001"}));
    EXPECT_EQ(cells(p, 1, {"FPurPrice", "FPrice_1", "FPrice_2", "FPrice_5", "FItemID"}),
              (QStringList{"10.00", "10.00", "9.00", "11.00", "2"}));
    // Red exactly where the price is below the purchase price; equal stays in the normal colour.
    const int p1 = p.colIndex(QStringLiteral("FPrice_1")), p2 = p.colIndex(QStringLiteral("FPrice_2")),
              p5 = p.colIndex(QStringLiteral("FPrice_5"));
    EXPECT_TRUE(p.isRed(0, p1) && !p.isRed(0, p2) && p.isRed(0, p5));
    EXPECT_TRUE(!p.isRed(1, p1) && p.isRed(1, p2));

    // Styles 2 and 5 hidden: no columns for them, and B001 (only style 5 below cost) drops out.
    PageOptions o = options(false);
    o.hiddenPriceStyles = parseHiddenPriceStyles(QStringLiteral("2, 5,x"));
    p = buildPage(*conn, PriceBelowCost, o);
    EXPECT_EQ(headers(p), (QStringList{"商品代码", "商品名称", "规格型号", "单位", "零售价"}));
    EXPECT_EQ(column(p, QStringLiteral("FNumber")), (QStringList{"A001"}));
    EXPECT_EQ(parseHiddenPriceStyles(QString()), QList<int>{0});

    // Purchase price changed after the sale prices: A001 (later), A003 (no sale-price time); not A002, B001.
    p = buildPage(*conn, PurchasePriceChanged, options());
    EXPECT_EQ(column(p, QStringLiteral("FNumber")), (QStringList{"A001", "A003"}));
    EXPECT_EQ(headers(p).mid(4), (QStringList{"进价", "进价时间", "零售价", "会员价", "批发价", "售价时间"}));
    EXPECT_EQ(cells(p, 0, {"FJjEditDate", "FSjEditDate"}),
              (QStringList{"2026-11-05 09:00:00", "2026-11-01"}));
    EXPECT_TRUE(p.redCells.isEmpty());
    EXPECT_EQ(buildPage(*conn, 4, options()).page, -1);
}

TEST_P(ReminderPagesTest, shortage_per_store_and_over_all_real_stores) {
    stockAndLimits();
    const QStringList keys{"FNumber",  "FStockMainQty",  "FStockQty", "FAskMainQty1",
                           "FAskQty1", "FResultMainQty", "FResultQty"};
    PageOptions o = options();
    o.storeName = QStringLiteral("一店");
    ReminderPage p = buildPage(*conn, Shortage, o);
    EXPECT_EQ(headers(p).mid(4),
              (QStringList{"包装数", "实际库存", "实际库存", "最小库存", "最小库存", "短缺", "短缺"}));
    EXPECT_EQ(headers(p, true).mid(5, 2), (QStringList{"辅助数量", "总数量"}));
    ASSERT_EQ(p.rows.size(), 2);
    // 20 received less 3 sent to 二店 = 17 of a minimum of 30, in packages of 12; A002's opening is in 二店;
    // A003's 15 have no minimum.
    EXPECT_EQ(cells(p, 0, keys), (QStringList{"A001", "1", "17", "2", "30", "1", "13"}));
    EXPECT_EQ(cells(p, 1, keys), (QStringList{"A002", "8", "8", "10", "10", "2", "2"}));

    o.storeName = QStringLiteral("二店");
    p = buildPage(*conn, Shortage, o);
    ASSERT_EQ(p.rows.size(), 1);
    EXPECT_EQ(cells(p, 0, keys), (QStringList{"A001", "0", "2", "0", "5", "0", "3"}));

    // In total: A001 has no item total, so its stores' 30+5 apply, and all its November bills count
    // (20-1+10); A002's own total of 50 wins over its store minimum and its opening 30 counts; A003's
    // October receipt counts once, in its opening 15.
    p = buildPage(*conn, Shortage, options());
    ASSERT_EQ(p.rows.size(), 3);
    EXPECT_EQ(cells(p, 0, keys), (QStringList{"A001", "2", "29", "2", "35", "0", "6"}));
    EXPECT_EQ(cells(p, 1, keys), (QStringList{"A002", "38", "38", "50", "50", "12", "12"}));
    EXPECT_EQ(cells(p, 2, keys), (QStringList{"A003", "15", "15", "20", "20", "5", "5"}));

    o.storeName = QStringLiteral("不存在'店");
    EXPECT_THROW(buildPage(*conn, Shortage, o), Error);

    // The procedure itself: stock over the maximum, and a condition on the item that leaves A001 out.
    conn->execute(QStringLiteral(
        "update ICSafeStock set FMax=case FItemID when 1 then 10 else 5 end where FStockID=1"));
    db::ProcArgs args;
    args.add(QStringLiteral("@ShowType"), db::ParamType::Integer, 2);
    args.add(QStringLiteral("@UserSql"), db::ParamType::Text, QStringLiteral("t1.FNumber<>'A001'"));
    args.add(QStringLiteral("@stockname"), db::ParamType::Text, QStringLiteral("一店"));
    auto rs = conn->callProcedure(QStringLiteral("Rp_ShortageAndOver"), args, 0);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("FNumber")) + u'=' + rs.text(QStringLiteral("FAskQty1")),
              QStringLiteral("A002=5"));
    rs.moveNext();
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("FNumber")) + u'=' + rs.text(QStringLiteral("FStockQty")),
              QStringLiteral("A003=15"));
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST_P(ReminderPagesTest, overdue_orders_with_remainders_totals_and_the_purchase_price_grant) {
    orders();
    ReminderPage p = buildPage(*conn, OverdueOrders, options());
    // Not the completed line, the one due tomorrow or the cancelled one; due today at 10:00 is overdue.
    ASSERT_EQ(p.rows.size(), 3);
    const QStringList keys{"FBillNo",
                           "FSaler",
                           "FNumber",
                           "FSumMainQty",
                           "FSumSlaveQty",
                           "FSumQty",
                           "FCompleteMainQty",
                           "FCompleteSlaveQty",
                           "FCompleteQty",
                           "FUnCompleteMainQty",
                           "FUnCompleteSlaveQty",
                           "FUnCompleteQty",
                           "FPrice",
                           "FAmount",
                           "FEndDate"};
    EXPECT_EQ(cells(p, 0, keys), (QStringList{"PO1", "张三", "A001", "2", "6", "30", "1", "1", "13", "1", "5",
                                              "17", "2.50", "42.50", "2026-12-01"}));
    EXPECT_EQ(cells(p, 1, keys), (QStringList{"PO2", "", "A002", "1000", "0", "1000", "0", "0", "0", "1000",
                                              "0", "1000", "1.23", "1,234.00", "2026-12-08 10:00:00"}));
    EXPECT_EQ(cells(p, 2, {"FOrgaName", "FSumQty", "FSumSlaveQty", "FUnCompleteQty", "FPrice", "FAmount"}),
              (QStringList{"★合计★", "1030", "6", "1017", "", "1,276.50"}));
    EXPECT_EQ(headers(p).mid(9, 3), (QStringList{"订 货", "订 货", "订 货"}));

    p = buildPage(*conn, OverdueOrders, options(false));
    EXPECT_EQ(cells(p, 0, {"FPrice", "FAmount"}), (QStringList{"", ""}));
    EXPECT_EQ(cells(p, 2, {"FUnCompleteQty", "FAmount"}), (QStringList{"1017", ""}));
}

TEST_P(ReminderPagesTest, a_price_correction_writes_one_sale_price_and_refuses_everything_else) {
    for (const char *bad : {"", "abc", "-1", "1e3", "12,5", "1 2"})
        EXPECT_FALSE(parseSalePrice(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(parseSalePrice(QStringLiteral(" 8.5 ")), 8.5);
    EXPECT_EQ(parseSalePrice(QStringLiteral("10")), 10.0);

    correctSalePrice(*conn, 2, QStringLiteral("fprice_2"), 10);
    auto rs =
        conn->open(QStringLiteral("select FPrice_1,FPrice_2,FSjEditDate from t_ICItem where FItemID=2"));
    EXPECT_EQ(rs.toDouble(QStringLiteral("FPrice_1")), 10.0);
    EXPECT_EQ(rs.toDouble(QStringLiteral("FPrice_2")), 10.0);
    EXPECT_GE(
        QDateTime::fromString(rs.text(QStringLiteral("FSjEditDate")), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QDateTime::currentDateTime().addSecs(-60));
    for (const char *col : {"FPurPrice", "FPrice_9", "FPrice_1=0,FPurPrice"})
        EXPECT_THROW(correctSalePrice(*conn, 2, QString::fromLatin1(col), 1), Error) << col;
    EXPECT_THROW(correctSalePrice(*conn, 99, QStringLiteral("FPrice_1"), 1), Error);
    EXPECT_EQ(conn->scalar(QStringLiteral("select FPurPrice from t_ICItem where FItemID=2")).toDouble(),
              10.0);
}

ZOSTORE_BACKENDS(ReminderPagesTest);

} // namespace
} // namespace zostore::test
