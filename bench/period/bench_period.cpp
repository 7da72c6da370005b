// Month-end costing and closing on a generated account set: latest-price costing set-based against the
// per-bill loop (on a sample of bills, extrapolated), weighted average, closing against one statement per item
// (on a sample of items, extrapolated) and against the bare writing of its rows, and reopening.
// Usage: bench_period [--items N] [--bills N] [--lines N] [--sample N] [--item-sample N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "LastPriceLoop.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/Transaction.h"
#include "period/AccountProfile.h"
#include "period/CostCalculation.h"
#include "period/PeriodProcedures.h"
#include "period/ProcedureSteps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace zostore;

namespace {

double timed(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}

// CPU time of this process: on SQLite all of a statement's work, so a figure that other load on the machine
// disturbs less than the clock.
double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs a procedure and prints its time and the time up to each of its named points.
double timedSteps(const char *label, const std::function<void()> &f) {
    const double cpu = processCpuSeconds();
    QElapsedTimer t;
    QString steps;
    double last = 0;
    period::setStepObserver([&](const QString &name) {
        const double now = t.nsecsElapsed() / 1e9;
        steps += QStringLiteral(" %1 %2").arg(name).arg(now - last, 0, 'f', 2);
        last = now;
    });
    t.start();
    f();
    const double total = t.nsecsElapsed() / 1e9;
    period::setStepObserver({});
    std::printf("  %s: %.2f s (steps:%s, rest %.2f; process CPU %.2f s); peak memory so far %.0f MB\n", label,
                total, qPrintable(steps), total - last, processCpuSeconds() - cpu, bench::peakMegabytes());
    return total;
}

struct Sizes {
    int items = 20000;
    int bills = 300000;
    int lines = 4;
    int sample = 300;
    int itemSample = 5000;
};

// Next month's opening rows of the listed items, in item order.
QStringList carriedRows(db::Connection &conn, period::YearPeriod next, const QString &itemList) {
    QStringList out;
    db::Recordset rs = conn.open(QStringLiteral("select FItemID,FBegQty,FBegPrice,FBegBal from icbal where FYear=? "
                                                "and FPeriod=? and FItemID in (%1) order by FItemID")
                                     .arg(itemList),
                                 {next.year, next.period});
    for (; !rs.eof(); rs.moveNext())
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(rs.text(QStringLiteral("FItemID")))
                   .arg(rs.toDouble(QStringLiteral("FBegQty")), 0, 'f', 4)
                   .arg(rs.toDouble(QStringLiteral("FBegPrice")), 0, 'f', 4)
                   .arg(rs.toDouble(QStringLiteral("FBegBal")), 0, 'f', 2);
    return out;
}

// The closing as one statement per item, prepared once: its opening, its month's movement, its carried row.
// A quantity of zero carries no value, as the automatic issue bill leaves it; the bill itself (a few rows)
// is left out.
void closeByItem(db::Connection &conn, period::YearPeriod cur, const QList<int> &items) {
    const period::YearPeriod next = period::nextPeriod(cur);
    QSqlQuery opening(conn.database());
    QSqlQuery movement(conn.database());
    opening.setForwardOnly(true);
    movement.setForwardOnly(true);
    opening.prepare(QStringLiteral("select FBegQty,FBegBal from icbal where FYear=? and FPeriod=? and FItemID=?"));
    movement.prepare(QStringLiteral(
        "select count(*),"
        "sum(case when t1.FTranType in (12,15,16,24) then coalesce(t2.FQty,0) "
        "when t1.FTranType in (14,22,25,26,33,99) then -coalesce(t2.FQty,0) else 0 end),"
        "sum(case when t1.FTranType=12 then coalesce(t2.FAmount,0) "
        "when t1.FTranType in (12,15,16,24) then coalesce(t2.FCost,0) "
        "when t1.FTranType in (14,22,25,26,33,99) then -coalesce(t2.FCost,0) else 0 end) "
        "from ICStockBillEntry t2 inner join ICStockBill t1 on t1.FInterID=t2.FInterID "
        "where t2.FItemID=? and t1.FYear=? and t1.FPeriod=? and t1.FDeleted=0"));
    auto insert = conn.prepare(QStringLiteral(
        "insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values "
        "(?,?,?,round(cast(? as numeric),4),round(cast(? as numeric),4),round(cast(? as numeric),2))"));
    for (int item : items) {
        opening.addBindValue(cur.year);
        opening.addBindValue(cur.period);
        opening.addBindValue(item);
        movement.addBindValue(item);
        movement.addBindValue(cur.year);
        movement.addBindValue(cur.period);
        if (!opening.exec() || !movement.exec() || !movement.next())
            throw Error(QStringLiteral("逐行结账失败：%1").arg(opening.lastError().text() + movement.lastError().text()));
        const bool hasOpening = opening.next();
        if (!hasOpening && movement.value(0).toLongLong() == 0)
            continue;
        double qty = movement.value(1).toDouble();
        double bal = movement.value(2).toDouble();
        if (hasOpening) {
            qty += opening.value(0).toDouble();
            bal += opening.value(1).toDouble();
        }
        const bool noQty = std::abs(qty) < 0.0000001;
        if (noQty)
            bal = 0;
        insert.exec({item, next.year, next.period, qty, noQty ? 0.0 : bal / qty, bal});
    }
}

// The month's lines as they stand, so that a costing's writes can be repeated as bare writes afterwards.
void snapshotMonth(db::Connection &conn, period::YearPeriod p) {
    conn.execute(QStringLiteral("drop table if exists zs_bench_before"));
    conn.execute(
        QStringLiteral("create table zs_bench_before as select FInterID, FEntryID, FUnitCost, FCost, FPrice, "
                       "FAmount from ICStockBillEntry where 1=0"));
    conn.execute(
        QStringLiteral("insert into zs_bench_before select t2.FInterID, t2.FEntryID, t2.FUnitCost, t2.FCost, "
                       "t2.FPrice, t2.FAmount from ICStockBill t1 inner join ICStockBillEntry t2 "
                       "on t1.FInterID=t2.FInterID where t1.FYear=? and t1.FPeriod=?"),
        {p.year, p.period});
    conn.execute(QStringLiteral("create index zs_bench_before_key on zs_bench_before (FInterID, FEntryID)"));
    conn.execute(QStringLiteral("analyze zs_bench_before"));
}

// The floor of a costing: the lines it changed written back to the snapshot's values, one statement in one
// transaction (rolled back, so without the commit); prints the figure against the costing's time.
void printRewriteFloor(db::Connection &conn, const char *label, double seconds) {
    int lines = 0;
    conn.begin();
    const double floor = timed([&] {
        lines = conn.execute(
            QStringLiteral("update ICStockBillEntry set FUnitCost=b.FUnitCost, FCost=b.FCost, "
                           "FPrice=b.FPrice, FAmount=b.FAmount "
                           "from zs_bench_before b where ICStockBillEntry.FInterID=b.FInterID and "
                           "ICStockBillEntry.FEntryID=b.FEntryID and (ICStockBillEntry.FUnitCost is distinct "
                           "from b.FUnitCost or "
                           "ICStockBillEntry.FCost is distinct from b.FCost or ICStockBillEntry.FPrice is "
                           "distinct from b.FPrice "
                           "or ICStockBillEntry.FAmount is distinct from b.FAmount)"));
    });
    conn.rollback();
    // Until vacuumed, the rolled-back versions stand in the next costing's way on the lines' pages.
    if (conn.isPostgres())
        conn.execute(QStringLiteral("vacuum ICStockBillEntry"));
    std::printf("  %s wrote %d lines: %.2f s; the same lines written back from a copy, one statement in one "
                "transaction: %.2f s; ratio %.1fx\n",
                label, lines, seconds, floor, seconds / floor);
}

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
    demo::GeneratorCounts counts =
        bench::benchCounts(qint64(s.bills) * s.lines, s.lines, 1, QDate(2026, 3, 31));
    counts.items = s.items;
    const auto g = bench::makeAccount(cs, counts);
    db::Connection conn(cs);
    const period::YearPeriod p = period::storedCurrentPeriod(conn);
    const qint64 receipts =
        conn.scalar(QStringLiteral("select count(*) from ICStockBill where FTranType=12 and FYear=? and FPeriod=?"),
                    {p.year, p.period})
            .toLongLong();
    const qint64 costed = conn.scalar(QStringLiteral("select count(*) from ICStockBill where FTranType in "
                                                     "(22,24,25,31,99,15,16,26,14) and FYear=? and FPeriod=?"),
                                      {p.year, p.period})
                              .toLongLong();
    std::printf(
        "%s: %lld bills, %lld bill lines, %d items in %d-%02d (%lld purchase receipts, %lld bills to cost); "
        "generated in %.1f s; peak memory so far %.0f MB\n",
        qPrintable(name), static_cast<long long>(g.bills), static_cast<long long>(g.lines), s.items, p.year,
        p.period, static_cast<long long>(receipts), static_cast<long long>(costed), g.seconds,
        bench::peakMegabytes());

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
    snapshotMonth(conn, p);
    const double setSeconds = timedSteps("latest purchase price", [&] { calc.lastPurchasePrice(); });
    printRewriteFloor(conn, "latest purchase price", setSeconds);
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
    snapshotMonth(conn, p);
    const double averageSeconds =
        timedSteps("sp_CacuCost", [&] { conn.callProcedure(QStringLiteral("sp_CacuCost"), none, 3000); });
    printRewriteFloor(conn, "sp_CacuCost", averageSeconds);
    conn.execute(QStringLiteral("drop table zs_bench_before"));
    db::ProcArgs closeArgs;
    closeArgs.add(QStringLiteral("@BillerID"), db::ParamType::Integer, 1)
        .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(QDate(p.year, p.period, 1).addMonths(1).addDays(-1), QTime(0, 0)));

    // Closing one statement per item on a sample of items, rolled back like the loop above.
    QList<int> itemSample;
    {
        const qint64 itemCount = conn.scalar(QStringLiteral("select count(*) from t_ICItem")).toLongLong();
        const qint64 step = std::max<qint64>(1, itemCount / std::max(1, s.itemSample));
        db::Recordset rs = conn.open(QStringLiteral("select FItemID from t_ICItem order by FItemID"), {},
                                     db::Cursor::Forward);
        for (qint64 i = 0; !rs.eof(); rs.moveNext(), ++i)
            if (i % step == 0 && itemSample.size() < s.itemSample)
                itemSample << rs.toInt(QStringLiteral("FItemID"));
    }
    QStringList itemIds;
    for (int id : itemSample)
        itemIds << QString::number(id);
    const QString itemList = itemIds.join(u',');
    const period::YearPeriod next = period::nextPeriod(p);
    QStringList byItem;
    double byItemSeconds = 0;
    {
        conn.begin();
        byItemSeconds = timed([&] { closeByItem(conn, p, itemSample); });
        byItem = carriedRows(conn, next, itemList);
        conn.rollback();
    }

    const double closeSeconds = timedSteps("sp_ClosePeriod (with automatic issue bills)", [&] {
        conn.callProcedure(QStringLiteral("sp_ClosePeriod"), closeArgs, 3000);
    });
    const QStringList bySetClose = carriedRows(conn, next, itemList);
    int closeDiffering = std::abs(int(byItem.size() - bySetClose.size()));
    for (int i = 0; i < std::min(byItem.size(), bySetClose.size()); ++i)
        closeDiffering += byItem[i] != bySetClose[i];
    const qint64 carried = conn.scalar(QStringLiteral("select count(*) from icbal where FYear=? and FPeriod=?"),
                                       {next.year, next.period})
                               .toLongLong();
    const double byItemEstimate =
        itemSample.isEmpty() ? 0 : byItemSeconds / itemSample.size() * double(conn.scalar(QStringLiteral(
                                                                           "select count(*) from t_ICItem"))
                                                                           .toLongLong());
    // The floor: the same rows written one prepared insert each in one transaction, then removed again.
    double writeSeconds = 0;
    {
        QList<QVariantList> rows;
        db::Recordset rs = conn.open(QStringLiteral("select FItemID,FBegQty,FBegPrice,FBegBal from icbal where "
                                                    "FYear=? and FPeriod=?"),
                                     {next.year, next.period}, db::Cursor::Forward);
        for (; !rs.eof(); rs.moveNext())
            rows.append({rs.value(QStringLiteral("FItemID")), next.year + 100, next.period,
                         rs.value(QStringLiteral("FBegQty")), rs.value(QStringLiteral("FBegPrice")),
                         rs.value(QStringLiteral("FBegBal"))});
        writeSeconds = timed([&] {
            db::Transaction t(conn);
            auto insert = conn.prepare(QStringLiteral(
                "insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values (?,?,?,?,?,?)"));
            for (const QVariantList &r : rows)
                insert.exec(r);
            t.commit();
        });
        conn.execute(QStringLiteral("delete from icbal where FYear=?"), {next.year + 100});
    }
    std::printf("  closing, %lld balances carried: set-based %.2f s; one statement per item %.3f s for %d sampled "
                "items, %.1f s extrapolated to all items; ratio per-item/set-based: %.0fx; sampled balances "
                "compared: %d, differing: %d\n",
                static_cast<long long>(carried), closeSeconds, byItemSeconds, int(itemSample.size()),
                byItemEstimate, byItemEstimate / closeSeconds, int(bySetClose.size()), closeDiffering);
    std::printf("  writing the same %lld rows, one insert each in one transaction: %.2f s\n",
                static_cast<long long>(carried), writeSeconds);
    timedSteps("sp_UnClosePeriod", [&] { conn.callProcedure(QStringLiteral("sp_UnClosePeriod"), none, 3000); });
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
        else if (args[i] == QLatin1String("--item-sample"))
            s.itemSample = v;
    }
    period::registerPeriodProcedures();
    return bench::onEachBackend(QStringLiteral("period"), [&](const QString &name, const QString &cs,
                                                              const QString &) { run(name, cs, s); });
}
