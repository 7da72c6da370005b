// An account set whose prices, stock, limits and orders give each reminder rule its own answer.
#pragma once

#include "accountdb/Schema.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "reminders/ReminderPages.h"
#include "reminders/ShortageProcedure.h"
#include "support/TestDatabase.h"

#include <QDateTime>

namespace zostore::test {

class ReminderFixture : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        reminders::registerReminderProcedures();
        fill();
    }
    void TearDown() override {
        conn.reset();
        BackendTest::TearDown();
    }

    void fill() {
        auto &c = *conn;
        for (const auto &[id, number, name] :
             {std::tuple{1, "1", "零售价"}, {2, "2", "会员价"}, {5, "5", "批发价"}}) {
            c.execute(QStringLiteral("insert into t_PriceStyle(FItemID,FNumber,FName) values(?,?,?)"),
                      {id, QString::fromLatin1(number), QString::fromUtf8(name)});
            accountdb::addPriceStyleColumn(c, id);
        }
        // id, number, purchase price, prices of styles 1/2/5, package size, deleted, purchase / sale price
        // times
        struct Item {
            int id;
            const char *number;
            double pur, p1, p2, p5, exchange;
            int del;
            const char *jj, *sj;
        };
        const Item items[] = {{1, "A001", 10, 9, 12, 8, 12, 0, "2026-11-05 09:00:00", "2026-11-01 00:00:00"},
                              {2, "A002", 10, 10, 9, 11, 1, 0, "2026-11-01 00:00:00", "2026-11-05 00:00:00"},
                              {3, "A003", 5, 6, 7, 8, 1, 0, "2026-11-03 00:00:00", nullptr},
                              {4, "B001", 10, 11, 12, 7, 1, 0, nullptr, nullptr},
                              {5, "C001", 10, 1, 1, 1, 1, 1, nullptr, nullptr}};
        for (const Item &i : items)
            c.execute(QStringLiteral(
                          "insert into t_ICItem(FItemID,FNumber,FName,FUnit,FPurPrice,FPrice_1,FPrice_2,"
                          "FPrice_5,FExchange,FDel,FJjEditDate,FSjEditDate) values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                      {i.id, QString::fromLatin1(i.number),
                       QStringLiteral("商品") + QString::fromLatin1(i.number), QStringLiteral("个"), i.pur,
                       i.p1, i.p2, i.p5, i.exchange, i.del, stamp(i.jj), stamp(i.sj)});
        c.execute(
            QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(1,'01','一店',0),"
                           "(2,'02','二店',0),(3,'99','虚拟仓',1)"));
    }
    static QVariant stamp(const char *text) {
        return text ? QVariant(QDateTime::fromString(QString::fromLatin1(text),
                                                     QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                    : QVariant();
    }
    // A bill moving (item, qty) lines out of one store and into another (0: none).
    void bill(int id, QDate date, int tranType, int outStock, int inStock, QList<QPair<int, double>> lines) {
        conn->execute(QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,"
                                     "FOutStockID,FInStockID) values(?,?,?,?,?,?,?,?)"),
                      {id, QStringLiteral("B%1").arg(id), QDateTime(date, QTime(10, 0)), date.year(),
                       date.month(), tranType, outStock ? QVariant(outStock) : QVariant(),
                       inStock ? QVariant(inStock) : QVariant()});
        int entry = 0;
        for (const auto &[item, qty] : lines)
            conn->execute(QStringLiteral(
                              "insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty) values(?,?,?,?)"),
                          {id, ++entry, item, qty});
    }
    // November is the current month. A store's stock is its November opening and the bills from November
    // on, so October's receipt, already in November's opening, does not count twice.
    void stockAndLimits() {
        accountdb::insertProfileDefaults(*conn, 2026, 11);
        const QDate nov(2026, 11, 3);
        bill(1, nov, 12, 0, 1, {{1, 20}, {2, 8}});
        bill(2, nov, 31, 1, 2, {{1, 3}});
        bill(3, nov, 22, 2, 0, {{1, 1}});
        bill(4, nov, 12, 0, 3, {{1, 10}});
        bill(5, QDate(2026, 10, 15), 12, 0, 1, {{3, 50}});
        conn->execute(QStringLiteral("insert into icbal(FItemID,FYear,FPeriod,FBegQty) values(2,2026,11,30),"
                                     "(3,2026,11,15),(1,2026,10,99)"));
        conn->execute(QStringLiteral("insert into icstockbal(FYear,FPeriod,FItemID,FStockID,FBegQty) values"
                                     "(2026,11,2,2,30),(2026,11,3,1,15)"));
        accountdb::rebuildStoreStock(*conn);
        conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values"
                                     "(1,1,30,40,0),(2,1,5,6,0),(1,2,10,20,0),(1,3,0,1,0)"));
        conn->execute(QStringLiteral("update t_ICItem set FMinStock=case FItemID when 2 then 50 else 20 end "
                                     "where FItemID in (2,3)"));
    }
    void orders() {
        conn->execute(
            QStringLiteral("insert into t_Supplier(FItemID,FNumber,FName) values(1,'S1','供应商甲')"));
        conn->execute(QStringLiteral("insert into t_Emp(FItemID,FNumber,FName) values(1,'E1','张三')"));
        conn->execute(
            QStringLiteral("insert into ICOrder(FInterID,FBillNo,FDate,FOrgaID,FSalerID) values"
                           "(1,'PO1',?,1,1),(2,'PO2',?,1,null)"),
            {QDateTime(QDate(2026, 11, 20), QTime(0, 0)), QDateTime(QDate(2026, 12, 1), QTime(0, 0))});
        const auto due = [](int month, int day, int hour = 0) {
            return QDateTime(QDate(2026, month, day), QTime(hour, 0));
        };
        // interid, entry, item, qty, complete, price, due, cancelled
        const QList<std::tuple<int, int, int, double, double, double, QDateTime, int>> lines = {
            {1, 1, 1, 30, 13, 2.5, due(12, 1), 0},
            {1, 2, 2, 10, 10, 1, due(12, 1), 0},
            {1, 3, 3, 5, 0, 1, due(12, 9), 0},
            {1, 4, 1, 4, 0, 1, due(12, 2), 1},
            {2, 1, 2, 1000, 0, 1.234, due(12, 8, 10), 0}};
        for (const auto &[inter, entry, item, qty, done, price, when, cancel] : lines)
            conn->execute(
                QStringLiteral("insert into ICOrderEntry(FInterID,FEntryID,FItemID,FQty,FCompleteQty,FPrice,"
                               "FJhDate,FCancelAction) values(?,?,?,?,?,?,?,?)"),
                {inter, entry, item, qty, done, price, when, cancel});
    }

    reminders::PageOptions options(bool viewPurPrice = true) const {
        reminders::PageOptions o;
        o.mayViewPurPrice = viewPurPrice;
        o.today = QDate(2026, 12, 8);
        o.storeName = reminders::AllStores;
        return o;
    }
    // "key=text" of every column of a row, hidden ones included.
    static QStringList cells(const reminders::ReminderPage &p, int row, const QStringList &keys) {
        QStringList out;
        for (const QString &k : keys)
            out << p.rows.at(row).value(p.colIndex(k));
        return out;
    }
    static QStringList column(const reminders::ReminderPage &p, const QString &key) {
        QStringList out;
        for (const auto &r : p.rows)
            out << r.value(p.colIndex(key));
        return out;
    }

    std::unique_ptr<db::Connection> conn;
};

} // namespace zostore::test
