// Account schema on both backends: every table, price columns, keys and exact text storage.
#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "support/TestDatabase.h"

using namespace zostore;
using namespace zostore::accountdb;

class SchemaTest : public test::BackendTest {};

TEST_P(SchemaTest, creates_every_table_and_price_columns) {
    db::Connection conn(cnstr());
    createAccountSchema(conn, {1, 2, 7});
    for (const TableDef &t : accountTables()) {
        QStringList names;
        for (const Column &c : t.columns)
            names << c.name;
        EXPECT_NO_THROW(conn.open(QStringLiteral("select %1 from %2 where 1=0").arg(names.join(','), t.name)))
            << t.name.toStdString();
    }
    for (int id : {1, 2, 7})
        EXPECT_TRUE(hasColumn(conn, QStringLiteral("t_ICItem"), priceColumnName(id)));
    EXPECT_FALSE(hasColumn(conn, QStringLiteral("t_ICItem"), QStringLiteral("FPrice_3")));
    addPriceStyleColumn(conn, 3);
    addPriceStyleColumn(conn, 3); // a second call changes nothing
    EXPECT_TRUE(hasColumn(conn, QStringLiteral("t_icitem"), QStringLiteral("fprice_3")));
    EXPECT_THROW(addPriceStyleColumn(conn, 0), Error);
}

TEST_P(SchemaTest, keys_refuse_duplicates_and_profile_keys_ignore_case) {
    db::Connection conn(cnstr());
    createAccountSchema(conn);
    conn.execute(QStringLiteral("insert into t_systemprofile(FKey,FValue) values(?,?)"),
                 {"CurrentYear", "2026"});
    EXPECT_THROW(conn.execute(QStringLiteral("insert into t_systemprofile(FKey,FValue) values(?,?)"),
                              {"currentyear", "2027"}),
                 Error);
    conn.execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(1,'101',1)"));
    EXPECT_THROW(
        conn.execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(1,'101',0)")),
        Error);
    // Messages number themselves on both backends.
    conn.execute(QStringLiteral("insert into t_Message(FToUserID,FTitle) values(1,'a')"));
    conn.execute(QStringLiteral("insert into t_Message(FToUserID,FTitle) values(1,'b')"));
    EXPECT_EQ(conn.scalar(QStringLiteral("select count(distinct FMsgID) from t_Message")).toInt(), 2);
}

TEST_P(SchemaTest, text_is_stored_exactly) {
    db::Connection conn(cnstr());
    createAccountSchema(conn);
    const QStringList samples = {QStringLiteral("O'Brien's 店; drop table t_User; --"),
                                 QStringLiteral("商品“名称”，全角：１２３"), QString(5000, QChar(0x6C34)),
                                 QStringLiteral("  leading and trailing  "),
                                 QStringLiteral("line1\r\nline2")};
    int n = 0;
    for (const QString &s : samples) {
        conn.execute(QStringLiteral("insert into TDPosBill(FStockName,FConText,FCmdText_beg) values(?,?,?)"),
                     {QString::number(++n), s, s});
        auto rs = conn.open(QStringLiteral("select FConText,FCmdText_beg from TDPosBill where FStockName=?"),
                            {QString::number(n)});
        EXPECT_EQ(rs.text(QStringLiteral("FConText")), s);
        EXPECT_EQ(rs.text(QStringLiteral("fcmdtext_beg")), s);
    }
    EXPECT_EQ(conn.scalar(QStringLiteral("select count(*) from TDPosBill")).toInt(), samples.size());
}

ZOSTORE_BACKENDS(SchemaTest);
