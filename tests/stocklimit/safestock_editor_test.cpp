// The limit list procedure, the filter condition and stored edits, including two workstations at once.
#include "StockFixture.h"

#include "components/items/ItemFilter.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "stocklimit/SafeStockEditing.h"
#include "stocklimit/SafeStockProcedures.h"

namespace zostore::test {

class SafeStockEditorTest : public StockFixture {
protected:
    QStringList list(const QString &cond) {
        stocklimit::registerStockLimitProcedures();
        db::ProcArgs args;
        args.add(QStringLiteral("@UserSql"), db::ParamType::Text, cond);
        auto rs = conn->callProcedure(QStringLiteral("Rp_Define_MaxMinStock"), args, 0);
        QStringList out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("FNumber")) + QLatin1Char('@') + rs.text(QStringLiteral("FStockID")) +
                       QLatin1Char('=') + rs.text(QStringLiteral("FMin")) + QLatin1Char('/') +
                       rs.text(QStringLiteral("FQty"));
        return out;
    }
    static components::items::ItemFilterChoice contains(const QString &v) {
        components::items::ItemFilterChoice c;
        c.findType = 2;
        c.containValue = v;
        return c;
    }
};

TEST_P(SafeStockEditorTest, lists_each_item_per_real_store_with_limits_and_stock) {
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(2,1,5,9,6)"));
    bill(1, at(5), 22, 1, {{1, 7}, {2, 3}});
    bill(2, at(6), 22, 1, {{1, 100}}, 1); // deleted
    conn->execute(QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FTranType,FDeleted,FInStockID) "
                                 "values(3,'B3',?,12,0,1)"),
                  {at(2)});
    conn->execute(QStringLiteral("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty) values(3,1,1,20)"));
    accountdb::rebuildStoreStock(*conn);
    const QStringList all = list(QStringLiteral("1=1"));
    // A003 is deleted; the virtual store has no records.
    EXPECT_EQ(all, (QStringList{"A001@1=/13", "A001@2=5/", "A002@1=/-3", "A002@2=/", "B001@1=/", "B001@2=/",
                                "zz1@1=/", "zz1@2=/", "甲'1@1=/", "甲'1@2=/"}));
}

TEST_P(SafeStockEditorTest, filter_text_finds_its_item_and_injects_nothing) {
    conn->execute(QStringLiteral("update t_ICItem set FName=? where FItemID=2"), {QStringLiteral("折扣50%_装")});
    conn->execute(QStringLiteral("update t_ICItem set FName=? where FItemID=3"), {QStringLiteral("折扣500装")});
    auto items = [&](const components::items::ItemFilterChoice &c) {
        QStringList out;
        for (const QString &r : list(stocklimit::filterCondition(c)))
            if (r.contains(QLatin1String("@1=")))
                out << r.section(QLatin1Char('@'), 0, 0);
        return out;
    };
    EXPECT_EQ(items(contains(QStringLiteral("50%_"))), QStringList{"A002"});
    EXPECT_EQ(items(contains(QStringLiteral("甲'1"))), QStringList{"甲'1"});
    EXPECT_TRUE(items(contains(QStringLiteral("x' or '1'='1"))).isEmpty());
    EXPECT_TRUE(items(contains(QString(10000, QLatin1Char('\'')))).isEmpty());
    components::items::ItemFilterChoice range;
    range.fromNumber = QStringLiteral("甲'1");
    range.toNumber = QStringLiteral("甲'1");
    EXPECT_EQ(items(range), QStringList{"甲'1"});
    EXPECT_EQ(count(QStringLiteral("select count(*) from t_ICItem")), 6);
}

TEST_P(SafeStockEditorTest, an_edit_stores_only_its_field_and_bad_input_stores_nothing) {
    stocklimit::storeLimit(*conn, 1, 2, QStringLiteral("Max"), QStringLiteral("12.5"));
    EXPECT_EQ(store(1, 2), limits(0, 12.5, 0));
    stocklimit::storeLimit(*conn, 1, 2, QStringLiteral("Safe"), QStringLiteral("4"));
    EXPECT_EQ(store(1, 2), limits(0, 12.5, 4));
    for (const char *bad : {"abc", "1,5", "-3", "1e999"})
        EXPECT_THROW(stocklimit::storeLimit(*conn, 1, 2, QStringLiteral("Min"), QString::fromLatin1(bad)), Error)
            << bad;
    EXPECT_THROW(stocklimit::storeLimit(*conn, 1, 2, QStringLiteral("Qty"), QStringLiteral("9")), Error);
    EXPECT_EQ(store(1, 2), limits(0, 12.5, 4));

    // Two workstations: the later write of one limit wins, the other's edit of another limit survives.
    db::Connection other(cnstr());
    stocklimit::storeLimit(*conn, 2, 3, QStringLiteral("Min"), QStringLiteral("1"));
    stocklimit::storeLimit(other, 2, 3, QStringLiteral("Min"), QStringLiteral("2"));
    stocklimit::storeLimit(other, 2, 3, QStringLiteral("Max"), QStringLiteral("8"));
    stocklimit::storeLimit(*conn, 2, 3, QStringLiteral("Safe"), QStringLiteral("3"));
    EXPECT_EQ(store(2, 3), limits(2, 8, 3));
}

ZOSTORE_BACKENDS(SafeStockEditorTest);

} // namespace zostore::test
