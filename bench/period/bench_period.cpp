// Month-end costing and closing on a generated account set: latest-price costing set-based against the
// per-bill loop (on a sample of bills, extrapolated), weighted average, closing and reopening.
// Usage: bench_period [--items N] [--bills N] [--lines N] [--sample N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "ScratchDatabase.h"
#include "LastPriceLoop.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/Transaction.h"
#include "demo/Generator.h"
#include "period/AccountProfile.h"
#include "period/CostCalculation.h"
#include "period/PeriodProcedures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace zostore;

namespace {

double timed(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}

struct Sizes {
    int items = 20000;
    int bills = 300000;
    int lines = 4;
    int sample = 300;
};

// Unit cost and cost of every entry of the sampled bills, in key order.
QStringList sampledEntries(db::Connection &conn, const QString &sampleList) {
    QStringList out;
    db::Recordset rs = conn.open(QStringLiteral("select FInterID,FEntryID,FUnitCost,FCost from ICStockBillEntry where "
                                                "FInterID in (%1) order by FInterID,FEntryID")
                                     .arg(sampleList));
    for (; !rs.eof(); rs.moveNext())
        out << QStringLiteral("%1/%2 %3 %4")
                   .arg(rs.text(QStringLiteral("FInterID")), rs.text(QStringLiteral("FEntryID")))
                   .arg(rs.toDouble(QStringLiteral("FUnitCost")), 0, 'f', 4)
                   .arg(rs.toDouble(QStringLiteral("FCost")), 0, 'f', 4);
    return out;
}

void run(const QString &name, const QString &cs, const Sizes &s) {
    demo::GeneratorCounts counts;
    counts.items = s.items;
    counts.stores = 5;
    counts.members = 1000;
    counts.lines = s.lines;
    counts.bills = s.bills;
    counts.months = 1;
    counts.lastDay = QDate(2026, 3, 31);
    {
        db::Connection c(cs, db::Connection::OpenMode::Create);
        accountdb::createAccountSchema(c);
        accountdb::insertProfileDefaults(c, 2026, 3);
    }
    db::Connection conn(cs);
    const auto g = demo::generateAccount(conn, counts);
    conn.execute(QStringLiteral("analyze"));
    const period::YearPeriod p = period::storedCurrentPeriod(conn);
    const qint64 receipts =
        conn.scalar(QStringLiteral("select count(*) from ICStockBill where FTranType=12 and FYear=? and FPeriod=?"),
                    {p.year, p.period})
            .toLongLong();
    const qint64 costed = conn.scalar(QStringLiteral("select count(*) from ICStockBill where FTranType in "
                                                     "(22,24,25,31,99,15,16,26,14) and FYear=? and FPeriod=?"),
                                      {p.year, p.period})
                              .toLongLong();
    std::printf("%s: %lld bills, %lld bill lines, %d items in %d-%02d (%lld purchase receipts, %lld bills to cost); "
                "generated in %.1f s\n",
                qPrintable(name), static_cast<long long>(g.bills), static_cast<long long>(g.lines), s.items, p.year,
                p.period, static_cast<long long>(receipts), static_cast<long long>(costed), g.seconds);

    // Sample: every n-th bill to cost, spread over the month.
    QStringList ids;
    {
        const qint64 step = std::max<qint64>(1, costed / s.sample);
        db::Recordset rs = conn.open(QStringLiteral("select FInterID from ICStockBill where FTranType in "
                                                    "(22,24,25,31,99,15,16,26,14) and FYear=? and FPeriod=? "
                                                    "order by FInterID"),
                                     {p.year, p.period}, db::Cursor::Forward);
        for (qint64 i = 0; !rs.eof(); rs.moveNext(), ++i)
            if (i % step == 0 && ids.size() < s.sample)
                ids << rs.text(QStringLiteral("FInterID"));
    }
    const QString sampleList = ids.join(u',');
    conn.execute(QStringLiteral("create temporary table zs_sample (FInterID integer primary key)"));
    conn.execute(QStringLiteral("insert into zs_sample select FInterID from ICStockBill where FInterID in (%1)")
                     .arg(sampleList));

    // The loop on the sample, rolled back afterwards so the set-based run starts from the same data.
    QStringList byLoop;
    double loopSeconds = 0;
    {
        conn.begin();
        loopSeconds = timed([&] {
            auto stmt = conn.prepare(test::lastPriceByBillSql());
            db::Recordset rs = conn.open(
                QStringLiteral("select FDate,FInterID from ICStockBill where FInterID in (%1)").arg(sampleList));
            for (; !rs.eof(); rs.moveNext())
                stmt.exec({rs.value(QStringLiteral("FDate")), rs.value(QStringLiteral("FInterID"))});
        });
        byLoop = sampledEntries(conn, sampleList);
        conn.rollback();
    }
    const double loopPerBill = loopSeconds / ids.size();
    const double loopEstimate = loopPerBill * costed;

    period::CostCalculation calc(cs, p);
    const double setSeconds = timed([&] { calc.lastPurchasePrice(); });
    const QStringList bySet = sampledEntries(conn, sampleList);
    int differing = 0;
    for (int i = 0; i < std::min(byLoop.size(), bySet.size()); ++i)
        differing += byLoop[i] != bySet[i];
    differing += std::abs(int(byLoop.size() - bySet.size()));
    std::printf("  latest purchase price, set-based: %.2f s for %lld bills\n", setSeconds,
                static_cast<long long>(costed));
    std::printf("  latest purchase price, per-bill loop: %.3f s for %d sampled bills = %.1f ms a bill, "
                "%.0f s extrapolated to %lld bills\n",
                loopSeconds, int(ids.size()), loopPerBill * 1000, loopEstimate, static_cast<long long>(costed));
    std::printf("  ratio loop/set-based: %.0fx; sampled entries compared: %d, differing: %d\n",
                loopEstimate / setSeconds, int(bySet.size()), differing);

    db::ProcArgs none;
    std::printf("  sp_CacuCost: %.2f s\n", timed([&] { conn.callProcedure(QStringLiteral("sp_CacuCost"), none, 3000); }));
    db::ProcArgs closeArgs;
    closeArgs.add(QStringLiteral("@BillerID"), db::ParamType::Integer, 1)
        .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(QDate(p.year, p.period, 1).addMonths(1).addDays(-1), QTime(0, 0)));
    std::printf("  sp_ClosePeriod (with automatic issue bills): %.2f s\n",
                timed([&] { conn.callProcedure(QStringLiteral("sp_ClosePeriod"), closeArgs, 3000); }));
    std::printf("  sp_UnClosePeriod: %.2f s\n",
                timed([&] { conn.callProcedure(QStringLiteral("sp_UnClosePeriod"), none, 3000); }));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures appear as each step ends
    Sizes s;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const int v = args[i + 1].toInt();
        if (args[i] == QLatin1String("--items"))
            s.items = v;
        else if (args[i] == QLatin1String("--bills"))
            s.bills = v;
        else if (args[i] == QLatin1String("--lines"))
            s.lines = v;
        else if (args[i] == QLatin1String("--sample"))
            s.sample = v;
    }
    period::registerPeriodProcedures();
    try {
        QTemporaryDir dir;
        run(QStringLiteral("SQLite"), QStringLiteral("Provider=SQLite;Data Source=%1").arg(dir.filePath(QStringLiteral("bench.db"))),
            s);
        const QString pg = bench::benchPostgresServer();
        if (!pg.isEmpty()) {
            bench::ScratchDatabase scratch(pg, QStringLiteral("period"));
            run(QStringLiteral("PostgreSQL"), scratch.connectionString(), s);
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
