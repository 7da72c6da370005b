// Stock-limit generation over 90 days of sales, set-based, against a statement-per-item loop in the same run.
// Usage: bench_stocklimit [--lines N] [--baseline-items N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "stocklimit/GenMinMaxStock.h"
#include "stocklimit/SafeStockFile.h"
#include "stocklimit/StockLimitGeneration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

using namespace zostore;

namespace {

const QDate first(2026, 1, 1);
const QDate last(2026, 3, 31);

double timed(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}

// The per-item way: one sum and one update per item, in one transaction.
double perItemLoop(db::Connection &conn, int items) {
    return timed([&] {
        db::Transaction tx(conn);
        for (int id = 1; id <= items; ++id) {
            const double qty = conn.scalar(QStringLiteral("select sum(t3.FQty) from ICStockBill t2 inner join ICStockBillEntry t3 "
                                                          "on t2.FInterID=t3.FInterID where t2.FDeleted=0 and t2.FDate between ? and ? "
                                                          "and t2.FTranType in (22,99) and t3.FItemID=?"),
                                           {QDateTime(first, QTime(0, 0)), QDateTime(last, QTime(23, 59, 59)), id})
                                   .toDouble();
            if (qty > 0)
                conn.execute(QStringLiteral("update t_icitem set FMinStock=ceiling(?),FMaxStock=ceiling(?),FSafeStock=ceiling(?) "
                                            "where FItemID=?"),
                             {qty * 1.0, qty * 2.0, qty * 1.5, id});
        }
        tx.commit();
    });
}

void run(const QString &name, const QString &cs, qint64 lines, int baselineItems, const QString &dir) {
    demo::GeneratorCounts counts = bench::benchCounts(lines, 10, 3, last);
    counts.items = 10000;
    const auto g = bench::makeAccount(cs, counts);
    db::Connection conn(cs);
    const qint64 sales =
        conn.scalar(QStringLiteral("select count(*) from ICStockBillEntry t3 inner join ICStockBill t2 on t2.FInterID=t3.FInterID "
                                   "where t2.FTranType in (22,99)"))
            .toLongLong();
    std::printf("%s: %lld bill lines (%lld of them sales) over %s..%s, %d items, %d stores, generated in %.1f s\n",
                qPrintable(name), static_cast<long long>(g.lines), static_cast<long long>(sales),
                qPrintable(first.toString(Qt::ISODate)), qPrintable(last.toString(Qt::ISODate)), counts.items,
                counts.stores, g.seconds);

    stocklimit::GenerationRequest r{first, last, QString(), QString(), 0, 1, 2, 1.5, true};
    const double totals = timed([&] { stocklimit::StockLimitGeneration::generate(conn, r); });
    std::printf("%s window, item totals:          %7.3f s\n", qPrintable(name), totals);
    r.stockId = 2;
    const double own = timed([&] { stocklimit::StockLimitGeneration::generate(conn, r); });
    std::printf("%s window, store 2, own sales:   %7.3f s\n", qPrintable(name), own);
    r.ownStoreSales = false;
    const double all = timed([&] { stocklimit::StockLimitGeneration::generate(conn, r); });
    std::printf("%s window, store 2, all sales:   %7.3f s\n", qPrintable(name), all);
    const double closing = timed([&] { stocklimit::GenMinMaxStock(cs).GenMaxMinStock(first, last, 2, 1, 1.5, true); });
    std::printf("%s closing, every store + totals: %6.3f s\n", qPrintable(name), closing);
    int records = 0;
    const double file = timed([&] { records = stocklimit::SafeStockFile::writeAll(conn, dir + QStringLiteral("/safestock.txt")); });
    std::printf("%s safestock.txt, %d records:  %7.3f s\n", qPrintable(name), records, file);

    const double loop = perItemLoop(conn, baselineItems);
    const double loopAll = loop / baselineItems * counts.items;
    std::printf("%s per-item loop: %d items in %.3f s, %.1f ms/item, %.1f s extrapolated to %d items\n", qPrintable(name),
                baselineItems, loop, loop * 1000 / baselineItems, loopAll, counts.items);
    std::printf("%s ratio: set-based item totals are %.1f times faster than the per-item loop\n\n", qPrintable(name),
                loopAll / totals);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    qint64 lines = 1'000'000;
    int baselineItems = 300;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--lines"))
            lines = args[i + 1].toLongLong();
        else if (args[i] == QStringLiteral("--baseline-items"))
            baselineItems = args[i + 1].toInt();
    }
    return bench::onEachBackend(QStringLiteral("stocklimit"),
                                [&](const QString &name, const QString &cs, const QString &dir) {
                                    run(name, cs, lines, baselineItems, dir);
                                });
}
