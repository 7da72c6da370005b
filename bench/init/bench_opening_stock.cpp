// Opening stock from an .xlsx file of 20,000 item and store rows, against the opening-stock window's own
// save of the same lines store by store, in the same run.
// Usage: bench_opening_stock [--rows N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "BenchTiming.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "components/export/Sheet.h"
#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/init/OpeningStock.h"
#include "modules/init/StockTransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <cstdio>

using namespace zostore;

namespace {

constexpr int Stores = 5;

QString code(int i) {
    return QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0'));
}

void prepare(db::Connection &conn, int items) {
    accountdb::createAccountSchema(conn);
    accountdb::insertProfileDefaults(conn, 2026, 12);
    db::Transaction tx(conn);
    for (int s = 1; s <= Stores; ++s)
        conn.execute(
            QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(?,?,?,0)"),
            {s, QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0')), QStringLiteral("门店%1").arg(s)});
    for (int from = 1; from <= items; from += 50) {
        QVariantList v;
        QStringList rows;
        for (int i = from; i < from + 50 && i <= items; ++i) {
            v << i << code(i) << QStringLiteral("商品%1").arg(i);
            rows << QStringLiteral("(?,?,?,'个',0)");
        }
        conn.execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FUnit,FDel) values ") +
                         rows.join(u','),
                     v);
    }
    tx.commit();
}

// Each item in one or two stores, so the file has `rows` lines over the items.
components::sheet::Sheet stockSheet(int rows) {
    components::sheet::Sheet s;
    s.header = {{QStringLiteral("仓库"), QStringLiteral("商品代码"), QStringLiteral("期初数量"),
                 QStringLiteral("期初金额")}};
    s.numeric = {false, false, true, true};
    for (int r = 0; r < rows; ++r) {
        const int item = r / 2 + 1, store = 1 + (r % 2 == 0 ? item % Stores : (item + 2) % Stores);
        const int qty = 1 + r % 40;
        s.rows << QStringList{QStringLiteral("%1").arg(store, 2, 10, QLatin1Char('0')), code(item),
                              QString::number(qty), QString::number(qty * (1.5 + item % 17), 'f', 2)};
    }
    return s;
}

// The window's way: the read rows as lines, saved one store at a time through OpeningStock::save.
void saveByStore(db::Connection &conn, const QList<QStringList> &rows) {
    QMap<int, QList<modules::init::OpeningLine>> byStore;
    for (int i = 1; i < rows.size(); ++i) {
        modules::init::OpeningLine l;
        l.itemId = rows[i][1].toInt();
        l.number = rows[i][1];
        l.qty = rows[i][2].toDouble();
        l.amount = rows[i][3].toDouble();
        byStore[rows[i][0].toInt()].append(l);
    }
    modules::init::OpeningStock stock(conn);
    for (auto it = byStore.cbegin(); it != byStore.cend(); ++it)
        stock.save(it.key(), it.value());
}

QString totals(db::Connection &conn) {
    return QStringLiteral("%1/%2/%3")
        .arg(conn.scalar(QStringLiteral("select sum(FBegBal) from icstockbal")).toDouble(), 0, 'f', 2)
        .arg(conn.scalar(QStringLiteral("select sum(FBegQty) from icbal")).toDouble(), 0, 'f', 4)
        .arg(conn.scalar(QStringLiteral("select sum(FQty) from ICInventory")).toDouble(), 0, 'f', 4);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int rows =
        static_cast<int>(bench::numberArgument(app.arguments(), QStringLiteral("--rows"), 20000, 10));
    const int items = (rows + 1) / 2;
    return bench::onEachBackend(QStringLiteral("openstock"), [&](const QString &backend, const QString &cnstr,
                                                                 const QString &folder) {
        const QString xlsx = QDir(folder).filePath(QStringLiteral("stock-%1.xlsx").arg(backend));
        components::sheet::writeXlsx(stockSheet(rows), xlsx);
        db::Connection conn(cnstr, db::Connection::OpenMode::Create);
        prepare(conn, items);
        modules::init::ImportReport report;
        const double imp = bench::msOf([&] {
            report = modules::init::importOpeningStock(conn, components::sheet::readXlsx(xlsx), false);
        });
        if (report.imported != rows)
            throw Error(QStringLiteral("导入了 %1 行：%2").arg(report.imported).arg(report.text().left(200)));
        const QString imported = totals(conn);
        // The baseline on the same database, emptied, so both write into the same tables and indexes.
        for (const char *t : {"icstockbal", "icbal", "ICInventory"})
            conn.execute(QStringLiteral("delete from %1").arg(QLatin1String(t)));
        const double base = bench::msOf([&] { saveByStore(conn, components::sheet::readXlsx(xlsx)); });
        if (totals(conn) != imported)
            throw Error(QStringLiteral("两种写法的结果不同：%1 与 %2").arg(imported, totals(conn)));
        std::printf("%s: importing %d opening-stock rows from xlsx: %.0f ms; the window's save of the same "
                    "lines store by store: %.0f ms; ratio %.2f\n",
                    qPrintable(backend), rows, imp, base, imp / base);
    });
}
