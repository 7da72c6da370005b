// A small account set with items, stores and sales bills for the stock-limit tests.
#pragma once

#include "accountdb/Schema.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "support/TestDatabase.h"

#include <QDateTime>

namespace zostore::test {

class StockFixture : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        fillItems(*conn);
    }
    void TearDown() override {
        conn.reset();
        BackendTest::TearDown();
    }

    static void fillItems(db::Connection &c) {
        const QList<std::tuple<int, QString, int>> items = {{1, QStringLiteral("A001"), 0},
                                                           {2, QStringLiteral("A002"), 0},
                                                           {3, QStringLiteral("B001"), 0},
                                                           {4, QStringLiteral("zz1"), 0},
                                                           {5, QStringLiteral("A003"), 1},
                                                           {6, QStringLiteral("甲'1"), 0}};
        for (const auto &[id, number, del] : items)
            c.execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FDel) values(?,?,?,?)"),
                      {id, number, QStringLiteral("商品") + number, del});
        c.execute(QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(1,'01','一店',0),"
                                 "(2,'02','二店',0),(3,'99','虚拟仓',1)"));
    }

    // One bill with one entry per (item, qty).
    void bill(int id, const QDateTime &date, int tranType, int outStock, QList<QPair<int, double>> lines,
              int deleted = 0) {
        conn->execute(QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FTranType,FDeleted,FOutStockID) "
                                     "values(?,?,?,?,?,?)"),
                      {id, QStringLiteral("B%1").arg(id), date, tranType, deleted, outStock});
        int entry = 0;
        for (const auto &[item, qty] : lines)
            conn->execute(QStringLiteral("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty) values(?,?,?,?)"),
                          {id, ++entry, item, qty});
        // As every writer of bills does.
        accountdb::rebuildStoreStock(*conn);
    }

    QVariantList row(const QString &sql, const QVariantList &params = {}) {
        db::Recordset rs = conn->open(sql, params);
        QVariantList out;
        if (rs.eof())
            return out;
        for (int i = 0; i < rs.fieldCount(); ++i)
            out.append(db::Recordset::doubleOf(rs.value(i)));
        return out;
    }
    QVariantList totals(int item) {
        return row(QStringLiteral("select FMinStock,FMaxStock,FSafeStock from t_icitem where FItemID=?"), {item});
    }
    QVariantList store(int stock, int item) {
        return row(QStringLiteral("select FMin,FMax,FSafe from ICSafeStock where FStockID=? and FItemID=?"),
                   {stock, item});
    }
    int count(const QString &sql) { return conn->scalar(sql).toInt(); }

    std::unique_ptr<db::Connection> conn;
    const QDate first{2026, 11, 1};
    const QDate last{2026, 11, 30};
    QDateTime at(int day, int hour = 0) { return QDateTime(QDate(2026, 11, day), QTime(hour, hour ? 30 : 0)); }
};

inline QVariantList limits(double a, double b, double c) { return {a, b, c}; }

} // namespace zostore::test
