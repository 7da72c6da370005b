// History clearing, backup and restore on both backends: the balances it keeps, its options, its refusals.
#include "PeriodFixture.h"

#include "accountdb/AccountBackup.h"
#include "accountdb/Schema.h"
#include "accountdb/StockMovement.h"
#include "db/Error.h"
#include "period/AccountProfile.h"
#include "period/HistoryClearing.h"
#include "period/ProcedureSteps.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::test;

namespace {

class HistoryTest : public PeriodFixture {
protected:
    void SetUp() override {
        PeriodFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setCurrent(2024, 3, 2024, 1);
        for (int i = 1; i <= 4; ++i)
            addItem(i, QStringLiteral("00%1").arg(i));
        conn().execute(QStringLiteral("insert into t_icitem_barcode (FItemID,FBarCode) values (4,'694')"));
        addBalance(1, 2024, 1, 10, 100);
        addBalance(1, 2024, 3, 12, 130);
        addBalance(2, 2024, 3, 5, 40.5);
        // January and February are in March's opening already; March's bills straddle the 15th.
        bill(1, 12, QDate(2024, 1, 10), 1, {{1, 4, 11, 44, 11, 44}, {4, 1, 2, 2, 2, 2}});
        bill(2, 22, QDate(2024, 2, 3), 101, {{1, 2, 20, 40, 10, 20}});
        bill(3, 12, QDate(2024, 3, 2), 1, {{1, 6, 10.5, 63, 10.5, 63}, {3, 2, 7.25, 14.5, 7.25, 14.5}});
        bill(4, 14, QDate(2024, 3, 4), 1, {{1, 1, 10.5, 10.5, 10.5, 10.5}});
        bill(5, 22, QDate(2024, 3, 6), 101, {{1, 3, 18, 54, 10.8, 32.4}, {2, 1, 12, 12, 8.1, 8.1}});
        bill(6, 24, QDate(2024, 3, 8), 101, {{1, 1, 18, 18, 10.8, 10.8}});
        bill(7, 22, QDate(2024, 3, 9), 102, {{2, 2, 12, 24, 8.1, 16.2}}, 1); // deleted: moves nothing
        bill(8, 31, QDate(2024, 3, 10), 0, {{2, 1, 0, 0, 8.1, 8.1}});
        bill(9, 99, QDate(2024, 3, 14), 0, {{3, 1, 9, 9, 7.25, 7.25}});
        bill(10, 12, QDate(2024, 3, 15), 2, {{2, 4, 8, 32, 8, 32}});
        bill(11, 22, QDate(2024, 3, 20), 101, {{1, 2, 18, 36, 10.8, 21.6}});
    }

    void bill(int id, int type, const QDate &d, int orga, const std::vector<Line> &lines, int deleted = 0) {
        addBill(id, type, d, lines, deleted);
        if (orga)
            conn().execute(QStringLiteral("update ICStockBill set FOrgaID=? where FInterID=?"), {orga, id});
    }

    // Each item's quantity and value at the end of the current month, the way closing carries them.
    QMap<int, QString> stockByItem() {
        db::Recordset rs = conn().open(
            QStringLiteral(
                "select u.FItemID, sum(u.q) as q, sum(u.v) as v from (select FItemID, FBegQty as q, "
                "FBegBal as v from icbal where FYear=2024 and FPeriod=3 union all select m.FItemID, "
                "m.FQty, m.FBal from (%1) m) u group by u.FItemID")
                .arg(accountdb::monthMovementSql()),
            {2024, 3});
        QMap<int, QString> out;
        for (; !rs.eof(); rs.moveNext())
            out[rs.toInt(QStringLiteral("FItemID"))] = QStringLiteral("%1/%2")
                                                           .arg(rs.toDouble(QStringLiteral("q")), 0, 'f', 4)
                                                           .arg(rs.toDouble(QStringLiteral("v")), 0, 'f', 4);
        return out;
    }

    // What each partner owes or is owed: brought-forward balance plus the kept bills.
    QMap<QString, double> partnerBalances() {
        db::Recordset rs = conn().open(QStringLiteral(
            "select k, o, sum(a) as a from (select FOrgaType as k, FOrgaID as o, FAmount as a from "
            "t_WLBegBal "
            "union all select case when b.FTranType in (12,14) then 1 else 2 end, b.FOrgaID, "
            "case when b.FTranType in (12,22) then e.FAmount else -e.FAmount end from ICStockBill b "
            "inner join ICStockBillEntry e on e.FInterID=b.FInterID where b.FDeleted=0 and b.FOrgaID is not "
            "null "
            "and b.FTranType in (12,14,22,24)) u group by k, o"));
        QMap<QString, double> out;
        for (; !rs.eof(); rs.moveNext())
            out[QStringLiteral("%1:%2")
                    .arg(rs.toInt(QStringLiteral("k")))
                    .arg(rs.toInt(QStringLiteral("o")))] =
                std::round(rs.toDouble(QStringLiteral("a")) * 10000) / 10000;
        return out;
    }

    void clear(const QDate &d, bool stock = true, bool wl = true, bool reinit = false, bool delItem = false,
               bool delOrder = true) {
        period::clearHistory(cnstr(), {stock, wl, reinit, d, delItem, delOrder});
    }

    QMap<QString, QStringList> everyTable() {
        QMap<QString, QStringList> all;
        for (const auto &t : accountdb::accountTables())
            if (accountdb::hasTable(conn(), t.name))
                all.insert(t.name, dump(t.name));
        return all;
    }

    QStringList ids(const QString &sql) {
        QStringList out;
        for (db::Recordset rs = conn().open(sql); !rs.eof(); rs.moveNext())
            out << db::Recordset::textOf(rs.value(0));
        return out;
    }
};

TEST_P(HistoryTest, kept_balances_leave_stock_and_partners_unchanged_after_the_day) {
    const auto stock = stockByItem();
    const auto partners = partnerBalances();
    clear(QDate(2024, 3, 15));
    EXPECT_EQ(stockByItem(), stock);
    EXPECT_EQ(partnerBalances(), partners);
    EXPECT_EQ(ids(QStringLiteral("select FInterID from ICStockBill order by FInterID")),
              (QStringList{QStringLiteral("10"), QStringLiteral("11")}));
    EXPECT_EQ(
        conn().scalar(QStringLiteral("select count(*) from ICStockBillEntry where FInterID<10")).toInt(), 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icbal where FPeriod<3")).toInt(), 0);
    // supplier 1: 44+2 + 63+14.5 - 10.5; customer 101: 40 + 54+12 - 18
    EXPECT_DOUBLE_EQ(partners.value(QStringLiteral("1:1")), 113);
    EXPECT_DOUBLE_EQ(
        conn()
            .scalar(QStringLiteral("select FAmount from t_WLBegBal where FOrgaType=2 and FOrgaID=101"))
            .toDouble(),
        88);
    EXPECT_EQ(period::storedStartPeriod(conn()), (period::YearPeriod{2024, 3}));
    // item 1's price follows the folded opening: 12+6-1-3+1 = 15 for 130+63-10.5-32.4+10.8
    EXPECT_NEAR(
        conn().scalar(QStringLiteral("select FBegPrice from icbal where FItemID=1 and FPeriod=3")).toDouble(),
        std::round(160.9 / 15 * 10000) / 10000, 1e-9);

    // a second clearing adds to what the first brought forward
    clear(QDate(2024, 3, 31));
    EXPECT_EQ(stockByItem(), stock);
    EXPECT_EQ(partnerBalances(), partners);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 0);
}

TEST_P(HistoryTest, options_drop_balances_orders_items_or_everything) {
    conn().execute(QStringLiteral("insert into ICOrder (FInterID,FBillNo,FDate) values (1,'D1','2024-01-02'),"
                                  "(2,'D2','2024-03-02'),(3,'D3','2024-03-03'),(4,'D4','2024-03-03')"));
    conn().execute(
        QStringLiteral("insert into ICOrderEntry (FInterID,FEntryID,FItemID,FQty,FCompleteQty,"
                       "FCancelAction) values (1,1,1,5,5,0),(1,2,1,5,1,1),(2,1,1,5,4,0),(3,1,1,2,2,0),"
                       "(3,2,1,3,0,0)"));
    conn().execute(
        QStringLiteral("insert into ICSafeStock (FStockID,FItemID,FMin,FMax,FSafe) values (1,3,1,9,2)"));
    clear(QDate(2024, 3, 15), false, false, false, true, true);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icbal")).toInt(), 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_WLBegBal")).toInt(), 0);
    // orders 1 (received or cancelled) go; 2 and 3 are open; 4 has no lines and stays
    EXPECT_EQ(ids(QStringLiteral("select FInterID from ICOrder order by FInterID")),
              (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    // item 4 was only on a deleted bill; 3 has a limit; 1 and 2 are on kept bills and orders
    EXPECT_EQ(ids(QStringLiteral("select FItemID from t_ICItem order by FItemID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_icitem_barcode")).toInt(), 0);

    conn().execute(QStringLiteral("insert into t_Message (FToUserID,FTitle) values (1,'x')"));
    conn().execute(QStringLiteral("insert into t_User (FUserID,FName) values (1,'管理员')"));
    clear(QDate(2024, 3, 1), true, true, true, false, false);
    for (const char *t : {"ICStockBill", "ICStockBillEntry", "ICOrder", "ICOrderEntry", "icbal",
                          "ICSafeStock", "t_Message", "t_WLBegBal"})
        EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(t))).toInt(), 0)
            << t;
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_ICItem")).toInt(), 3);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_User")).toInt(), 1);
    EXPECT_EQ(period::storedStartPeriod(conn()), (period::YearPeriod{2024, 3}));
}

TEST_P(HistoryTest, a_day_outside_the_month_or_a_failure_half_way_changes_nothing) {
    const auto before = everyTable();
    for (const QDate &d : {QDate(2024, 2, 29), QDate(2024, 4, 1)}) {
        try {
            clear(d);
            ADD_FAILURE() << d.toString().toStdString();
        } catch (const Error &e) {
            EXPECT_EQ(e.description(), QStringLiteral("清除截止日期必须在当前期间“2024年3月范围内"));
        }
    }
    EXPECT_EQ(everyTable(), before);
    for (const QString &step :
         {QStringLiteral("clear.stock"), QStringLiteral("clear.entries"), QStringLiteral("clear.done")}) {
        period::setStepObserver([&](const QString &s) {
            if (s == step)
                throw Error(QStringLiteral("中断"));
        });
        EXPECT_THROW(clear(QDate(2024, 3, 15), true, true, false, true), Error) << step.toStdString();
        EXPECT_EQ(everyTable(), before) << step.toStdString();
    }
    period::setStepObserver({});
    // the first and the last day of the month are both inside it
    EXPECT_NO_THROW(clear(QDate(2024, 3, 1)));
    EXPECT_NO_THROW(clear(QDate(2024, 3, 31)));
}

TEST_P(HistoryTest, backup_then_clear_then_restore_gives_back_every_table) {
    QTemporaryDir work;
    const QByteArray oldWork = qgetenv("ZOSTORE_WORKDIR");
    qputenv("ZOSTORE_WORKDIR", work.path().toUtf8());
    const auto restoreEnv = qScopeGuard([&] { qputenv("ZOSTORE_WORKDIR", oldWork); });

    accountdb::writeAccountIdentity(conn());
    const auto before = everyTable();
    const QString file = accountdb::backupAccount(cnstr(), QStringLiteral("演示/帐套"));
    EXPECT_TRUE(file.startsWith(work.path() + QStringLiteral("/backup/演示_帐套_"))) << file.toStdString();
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));
    clear(QDate(2024, 3, 15), true, true, false, true);
    ASSERT_NE(everyTable(), before);
    accountdb::restoreAccount(cnstr(), file);
    EXPECT_EQ(everyTable(), before);

    // never over itself, never a stranger's backup, never a file that is no backup
    EXPECT_THROW(accountdb::backupAccount(cnstr(), QString(), file), Error);
    const QString junk = work.path() + QStringLiteral("/junk.db");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a backup");
    f.close();
    EXPECT_THROW(accountdb::restoreAccount(cnstr(), junk), Error);
    conn().execute(QStringLiteral("update t_AccountIdentity set FIdentity='other'"));
    try {
        accountdb::restoreAccount(cnstr(), file);
        ADD_FAILURE();
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("另一个帐套"))) << e.description().toStdString();
    }
    conn().execute(QStringLiteral("update t_AccountIdentity set FIdentity=?"),
                   {before.value(QStringLiteral("t_AccountIdentity")).value(0)});

    // a folder that cannot be made, and on PostgreSQL a missing client: clear message, no file
    EXPECT_THROW(accountdb::backupAccount(cnstr(), QString(), junk + QStringLiteral("/sub/x.db")), Error);
    if (!isSqlite()) {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", work.path().toUtf8());
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", oldPath); });
        try {
            accountdb::backupAccount(cnstr(), QStringLiteral("a"), work.path() + QStringLiteral("/x.backup"));
            ADD_FAILURE();
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("pg_dump"))) << e.description().toStdString();
        }
        EXPECT_FALSE(QFile::exists(work.path() + QStringLiteral("/x.backup")));
    }
    EXPECT_EQ(everyTable(), before);
}

ZOSTORE_BACKENDS(HistoryTest);

} // namespace
