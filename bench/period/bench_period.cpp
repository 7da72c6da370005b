// Month-end costing and closing on a generated account set: latest-price costing set-based against the
// per-bill loop (on a sample of bills, extrapolated), weighted average, closing against one statement per item
// (on a sample of items, extrapolated) and against the bare writing of its rows, and reopening.
// Usage: bench_period [--items N] [--bills N] [--lines N] [--sample N] [--item-sample N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
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
#include "period/ProcedureSteps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cmath>
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

// Runs a procedure and prints its time and the time up to each of its named points.
double timedSteps(const char *label, const std::function<void()> &f) {
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
    std::printf("  %s: %.2f s (steps:%s, rest %.2f)\n", label, total, qPrintable(steps), total - last);
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
    const double setSeconds = timedSteps("latest purchase price", [&] { calc.lastPurchasePrice(); });
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
    timedSteps("sp_CacuCost", [&] { conn.callProcedure(QStringLiteral("sp_CacuCost"), none, 3000); });
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
    try {
        QTemporaryDir dir;
        // Keeps the SQLite file for a look at its plans afterwards.
        if (qEnvironmentVariableIsSet("ZOSTORE_BENCH_KEEP")) {
            dir.setAutoRemove(false);
            std::printf("SQLite file kept in %s\n", qPrintable(dir.path()));
        }
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
