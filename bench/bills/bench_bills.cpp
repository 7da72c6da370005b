// Saving a 200-line purchase receipt with its kept stock, against the same rows written one autocommitted
// statement each; and finding an item as a line is typed (lookup, units and start price) by code or
// barcode, against reading the item by its key. 20,000 items with package barcodes and 2,000 receipts
// of 10 lines as history. Usage: bench_bills [--runs N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "BenchTiming.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "components/items/ItemLookup.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/bills/BillStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace zostore;
using namespace zostore::modules::bills;

using zostore::bench::median;
using zostore::bench::msOf;

namespace {

constexpr int Items = 20000;
constexpr int HistoryBills = 2000;
constexpr int Lines = 200;

void fill(db::Connection &conn) {
    accountdb::createAccountSchema(conn);
    accountdb::insertProfileDefaults(conn, 2026, 12);
    accountdb::writeProfile(conn, QStringLiteral("ActionWhenShortStock"), QStringLiteral("1"));
    db::Transaction tx(conn);
    conn.execute(
        QStringLiteral("insert into t_Stock(FItemID,FNumber,FName) values(1,'01','门市'),(2,'02','仓库')"));
    conn.execute(QStringLiteral("insert into t_Supplier(FItemID,FNumber,FName) values(1,'S1','供应商')"));
    auto item =
        conn.prepare(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FUnit,FExchange,FPurPrice,"
                                    "FPjCost,FBar_Code,FQuickNum,FDel) values(?,?,?,'个',12,?,?,?,?,0)"));
    auto bar = conn.prepare(
        QStringLiteral("insert into t_icitem_barcode(FItemID,FBarCode,FExchange) values(?,?,12)"));
    for (int i = 1; i <= Items; ++i) {
        item.exec({i, QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("商品%1").arg(i),
                   1 + i % 50, 0.9 + i % 50, QStringLiteral("69%1").arg(i, 8, 10, QLatin1Char('0')),
                   QStringLiteral("SP%1").arg(i)});
        bar.exec({i, QStringLiteral("79%1").arg(i, 8, 10, QLatin1Char('0'))});
    }
    auto head = conn.prepare(
        QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,"
                       "FDeleted,FOrgaID,FInStockID) values(?,?,'2026-12-01 00:00:00',2026,12,12,0,1,1)"));
    auto entry = conn.prepare(
        QStringLiteral("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FPrice,FAmount) "
                       "values(?,?,?,5,2,10)"));
    for (int b = 1; b <= HistoryBills; ++b) {
        head.exec({b, QStringLiteral("H%1").arg(b)});
        for (int e = 1; e <= 10; ++e)
            entry.exec({b, e, 1 + (b * 97 + e * 7919) % Items});
    }
    tx.commit();
    // As the server's autovacuum does for a set in use: plans follow the loaded rows.
    if (conn.isPostgres())
        conn.execute(QStringLiteral("analyze"));
}

Bill receipt(int run) {
    Bill b;
    b.kind = 12;
    b.date = QDate(2026, 12, 15);
    b.orgaId = 1;
    b.inStockId = 1 + run % 2;
    for (int i = 0; i < Lines; ++i) {
        BillLine l;
        l.itemId = 1 + (run * 131 + i * 89) % Items;
        l.qty = 1 + i % 7;
        l.price = 2.5;
        l.exchange = 12;
        b.lines << l;
    }
    return b;
}

bool run(const QString &name, const QString &cnstr, int runs) {
    db::Connection conn(cnstr, db::Connection::OpenMode::Create);
    fill(conn);
    BillStore store(conn, 1);
    std::vector<double> save, baseline;
    for (int r = 0; r < runs; ++r) {
        Bill b = receipt(r);
        save.push_back(msOf([&] {
            if (!store.save(b).saved)
                throw Error(QStringLiteral("not saved"));
        }));
    }
    for (int r = 0; r < runs; ++r) {
        const Bill b = receipt(r);
        const int id = conn.scalar(QStringLiteral("select max(FInterID)+1 from ICStockBill")).toInt();
        baseline.push_back(msOf([&] {
            conn.execute(
                QStringLiteral(
                    "insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,"
                    "FOrgaID,FInStockID) values(?,?,?,2026,12,12,0,1,?)"),
                {id, QStringLiteral("B%1").arg(id), b.date, b.inStockId});
            int e = 0;
            for (const BillLine &l : b.lines) {
                conn.execute(
                    QStringLiteral(
                        "insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FPrice,FAmount) "
                        "values(?,?,?,?,?,?)"),
                    {id, ++e, l.itemId, l.qty, l.price, l.qty * l.price});
                if (conn.execute(
                        QStringLiteral("update ICInventory set FQty=FQty+? where FStockID=? and FItemID=?"),
                        {l.qty, b.inStockId, l.itemId}) == 0)
                    conn.execute(
                        QStringLiteral("insert into ICInventory(FStockID,FItemID,FQty) values(?,?,?)"),
                        {b.inStockId, l.itemId, l.qty});
            }
        }));
    }
    const double s = median(save), bl = median(baseline);
    std::printf("%s: saving a %d-line receipt with its kept stock, median of %d: %.2f ms (limit 50 ms); one "
                "autocommitted statement per row: %.2f ms; ratio %.2f\n",
                qPrintable(name), Lines, runs, s, bl, s / bl);

    components::items::ItemLookup lookup(conn, 0);
    lookup.setByQuickNumber(true);
    std::vector<double> typed, byKey;
    for (int r = 0; r < 400; ++r) {
        const int id = 1 + (r * 7717) % Items;
        const QString text = r % 3 == 0   ? QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0'))
                             : r % 3 == 1 ? QStringLiteral("69%1").arg(id, 8, 10, QLatin1Char('0'))
                                          : QStringLiteral("79%1").arg(id, 8, 10, QLatin1Char('0'));
        typed.push_back(msOf([&] {
            const auto f = lookup.find(text);
            if (!f)
                throw Error(QStringLiteral("not found: ") + text);
            store.itemFacts(f->itemId);
            store.startPrice(12, f->itemId);
        }));
        byKey.push_back(
            msOf([&] { conn.scalar(QStringLiteral("select FName from t_ICItem where FItemID=?"), {id}); }));
    }
    const double t = median(typed), k = median(byKey);
    std::printf(
        "%s: a typed code, barcode or package barcode found with its units and last purchase price, median "
        "of 400: %.3f ms (limit 2 ms); one read by key: %.3f ms; ratio %.2f\n",
        qPrintable(name), t, k, t / k);
    return s <= 50 && t <= 2;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int runs = static_cast<int>(bench::numberArgument(app.arguments(), QStringLiteral("--runs"), 21));
    bool ok = true;
    const int rc = bench::onEachBackend(QStringLiteral("bills"), [&](const QString &backend, const QString &cnstr,
                                                                  const QString &) {
        ok = run(backend, cnstr, runs) && ok;
    });
    return rc != 0 ? rc : (ok ? 0 : 1);
}
