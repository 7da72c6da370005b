// The bill search filtered by item and a month over a generated set of one million bill lines, against
// the same search written as one join of every line with the items. Usage: bench_bill_search
// [--lines N] [--runs N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "BenchTiming.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/Generator.h"
#include "modules/bills/BillSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace zostore;

using zostore::bench::median;
using zostore::bench::msOf;

namespace {

const QDate LastDay(2026, 3, 31);

bool run(const QString &name, const QString &cs, qint64 lines, int runs) {
    demo::GeneratorCounts counts;
    counts.items = 20000;
    counts.stores = 5;
    counts.lines = 10;
    counts.bills = static_cast<int>(lines / counts.lines);
    counts.months = 3;
    counts.lastDay = LastDay;
    {
        db::Connection c(cs, db::Connection::OpenMode::Create);
        accountdb::createAccountSchema(c);
        accountdb::insertProfileDefaults(c, 2026, 3);
    }
    db::Connection conn(cs);
    const auto g = demo::generateAccount(conn, counts);
    conn.execute(QStringLiteral("analyze"));
    std::printf("%s: %lld bill lines, %d items; generated in %.1f s\n", qPrintable(name),
                static_cast<long long>(g.lines), counts.items, g.seconds);
    // The types the generator made most of, so the search finds bills.
    const int kind = conn.scalar(QStringLiteral("select FTranType from ICStockBill group by FTranType order by count(*) desc "
                                                "limit 1"))
                         .toInt();
    std::vector<double> search, baseline;
    int found = 0, foundBaseline = 0;
    for (int r = 0; r < runs; ++r) {
        modules::bills::BillCriteria c;
        c.kind = kind;
        c.from = QDate(2026, 2, 1);
        c.to = QDate(2026, 2, 28);
        // An item some bill of that month carries, so the search has bills to find.
        const QString code = conn.scalar(QStringLiteral("select i.FNumber from ICStockBill b join ICStockBillEntry e on "
                                                        "e.FInterID=b.FInterID join t_ICItem i on i.FItemID=e.FItemID "
                                                        "where b.FTranType=? and b.FDate between ? and ? and b.FInterID>=? "
                                                        "order by b.FInterID limit 1"),
                                         {kind, c.from.startOfDay(), QDateTime(c.to, QTime(23, 59, 59)),
                                          1 + (r * 7919) % counts.bills})
                                 .toString();
        c.item = code;
        search.push_back(msOf([&] {
            found = 0;
            for (auto rs = modules::bills::searchBills(conn, c); !rs.eof(); rs.moveNext())
                ++found;
        }));
        baseline.push_back(msOf([&] {
            foundBaseline = 0;
            for (auto rs = conn.open(QStringLiteral("select t1.FInterID,t1.FBillNo,t1.FDate,sum(t2.FQty) as FSumQty,"
                                                    "max(t1.FSumAmount) as FSumAmount from ICStockBill t1 join "
                                                    "ICStockBillEntry t2 on t2.FInterID=t1.FInterID join t_ICItem i on "
                                                    "i.FItemID=t2.FItemID where t1.FDeleted=0 and t1.FTranType=? and "
                                                    "t1.FDate between ? and ? group by t1.FInterID,t1.FBillNo,t1.FDate "
                                                    "having max(case when i.FNumber like ? or i.FName like ? then 1 else 0 end)=1"),
                                     {kind, c.from.startOfDay(), QDateTime(c.to, QTime(23, 59, 59)),
                                      QLatin1Char('%') + code + QLatin1Char('%'), QLatin1Char('%') + code + QLatin1Char('%')});
                 !rs.eof(); rs.moveNext())
                ++foundBaseline;
        }));
    }
    const double s = median(search), b = median(baseline);
    std::printf("%s: bills of type %d in a month with one item, median of %d: %.2f ms (limit 200 ms, %d bills in the "
                "last run); one join of every line with the items: %.2f ms (%d bills); ratio %.3f\n",
                qPrintable(name), kind, runs, s, found, b, foundBaseline, s / b);
    return s <= 200;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 lines = bench::numberArgument(args, QStringLiteral("--lines"), 1000000, 1000);
    const int runs = static_cast<int>(bench::numberArgument(args, QStringLiteral("--runs"), 11));
    bool ok = true;
    const int rc = bench::onEachBackend(QStringLiteral("billsearch"), [&](const QString &backend, const QString &cnstr,
                                                                  const QString &) {
        ok = run(backend, cnstr, lines, runs) && ok;
    });
    return rc != 0 ? rc : (ok ? 0 : 1);
}
