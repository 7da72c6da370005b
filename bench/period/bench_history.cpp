// History clearing of three of four months on a generated account set, keeping stock and partner balances,
// against a statement-per-bill loop and against the bare delete of the same rows, all in the same run.
// Usage: bench_history [--lines N] (or ZOSTORE_BENCH_LINES=N for a quick check); PostgreSQL runs when
// ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"

#include "accountdb/StockMovement.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "period/AccountProfile.h"
#include "period/HistoryClearing.h"
#include "period/PeriodProcedures.h"
#include "period/ProcedureSteps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

using namespace zostore;

namespace {

const QDate lastDay(2026, 4, 30);
const QDate keptDay(2026, 4, 1);

double timed(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}

QDateTime cutoff() {
    return QDateTime(keptDay, QTime(0, 0));
}

// What the clearing leaves: bills, openings and partner balances, summed so both ways compare exactly.
QString outcome(db::Connection &conn) {
    const auto row = [&](const QString &sql) {
        db::Recordset rs = conn.open(sql);
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << QString::number(rs.value(i).toDouble(), 'f', 2);
        return cells.join(u' ');
    };
    return QStringLiteral("bills %1; entries %2; icbal %3; partners %4")
        .arg(
            row(QStringLiteral("select count(*),sum(FInterID) from ICStockBill")),
            row(QStringLiteral("select count(*),sum(FQty) from ICStockBillEntry")),
            row(QStringLiteral("select count(*),sum(FYear*12+FPeriod),sum(FBegQty),sum(FBegBal) from icbal")),
            row(QStringLiteral("select count(*),sum(FOrgaType*FOrgaID),sum(FAmount) from t_WLBegBal")));
}

// The straightforward way: each bill before the day folded and deleted with its own statements. Bills of
// earlier months are in the current month's opening already, so only the current month's are folded into it.
void clearByBill(db::Connection &conn, period::YearPeriod cur) {
    struct Bill {
        int id;
        bool current;
    };
    QList<Bill> list;
    auto bills = conn.open(
        QStringLiteral("select FInterID,FYear,FPeriod from ICStockBill where FDate<? order by FInterID"),
        {cutoff()}, db::Cursor::Forward);
    for (; !bills.eof(); bills.moveNext())
        list.append({bills.toInt(QStringLiteral("FInterID")),
                     bills.toInt(QStringLiteral("FYear")) * 12 + bills.toInt(QStringLiteral("FPeriod")) ==
                         cur.index()});
    auto stock = conn.prepare(
        QStringLiteral(
            "insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
            "select t2.FItemID, ?, ?, sum(%1), 0, sum(%2) from ICStockBill t1 inner join ICStockBillEntry t2 "
            "on t2.FInterID=t1.FInterID where t1.FInterID=? and t1.FDeleted=0 group by t2.FItemID "
            "on conflict (FYear,FPeriod,FItemID) do update set "
            "FBegQty=coalesce(icbal.FBegQty,0)+excluded.FBegQty, "
            "FBegBal=coalesce(icbal.FBegBal,0)+excluded.FBegBal")
            .arg(accountdb::movementQtySql(), accountdb::movementValueSql()));
    auto price = conn.prepare(
        QStringLiteral("update icbal set FBegPrice=case when abs(FBegQty)<0.0000001 then 0 else %1 end "
                       "where FYear=? and FPeriod=? and FItemID in "
                       "(select FItemID from ICStockBillEntry where FInterID=?)")
            .arg(accountdb::roundSql(QStringLiteral("FBegBal/FBegQty"), 4)));
    auto partner = conn.prepare(QStringLiteral(
        "insert into t_WLBegBal (FOrgaType,FOrgaID,FAmount) "
        "select case when t1.FTranType in (12,14) then 1 else 2 end, t1.FOrgaID, "
        "sum(case when t1.FTranType in (12,22) then coalesce(t2.FAmount,0) else -coalesce(t2.FAmount,0) end) "
        "from ICStockBill t1 inner join ICStockBillEntry t2 on t2.FInterID=t1.FInterID where t1.FInterID=? "
        "and t1.FDeleted=0 and t1.FTranType in (12,14,22,24) and t1.FOrgaID is not null "
        "group by t1.FTranType, t1.FOrgaID "
        "on conflict (FOrgaType,FOrgaID) do update set "
        "FAmount=coalesce(t_WLBegBal.FAmount,0)+excluded.FAmount"));
    auto entries = conn.prepare(QStringLiteral("delete from ICStockBillEntry where FInterID=?"));
    auto bill = conn.prepare(QStringLiteral("delete from ICStockBill where FInterID=?"));
    for (const Bill &b : list) {
        if (b.current) {
            stock.exec({cur.year, cur.period, b.id});
            price.exec({cur.year, cur.period, b.id});
        }
        partner.exec({b.id});
        entries.exec({b.id});
        bill.exec({b.id});
    }
    conn.execute(QStringLiteral("delete from icbal where FYear*12+FPeriod<?"), {cur.index()});
    conn.execute(QStringLiteral("delete from t_ClosePeriodLog"));
    conn.execute(QStringLiteral("delete from t_ClosePeriodBal"));
    period::writeStoredStartPeriod(conn, cur);
}

void run(const QString &name, const QString &cs, int lines) {
    const auto g = bench::makeAccount(cs, bench::benchCounts(lines, 10, 4, lastDay));
    db::Connection conn(cs);
    const period::YearPeriod cur = period::storedCurrentPeriod(conn);
    const qint64 goneBills =
        conn.scalar(QStringLiteral("select count(*) from ICStockBill where FDate<?"), {cutoff()})
            .toLongLong();
    const qint64 goneLines =
        conn.scalar(QStringLiteral("select count(*) from ICStockBillEntry where FInterID in "
                                   "(select FInterID from ICStockBill where FDate<?)"),
                    {cutoff()})
            .toLongLong();
    std::printf(
        "%s: %lld bills, %lld bill lines, %d items, %d stores over 2026-01..%d-%02d, generated in %.1f s; "
        "clearing before %s: %lld bills, %lld lines\n",
        qPrintable(name), static_cast<long long>(g.bills), static_cast<long long>(g.lines), counts.items,
        counts.stores, cur.year, cur.period, g.seconds, qPrintable(keptDay.toString(Qt::ISODate)),
        static_cast<long long>(goneBills), static_cast<long long>(goneLines));

    // The floor: the same bills and lines deleted with one statement each, in one transaction, rolled back.
    double bare = 0;
    {
        conn.begin();
        bare = timed([&] {
            conn.execute(QStringLiteral("delete from ICStockBillEntry where FInterID in "
                                        "(select FInterID from ICStockBill where FDate<?)"),
                         {cutoff()});
            conn.execute(QStringLiteral("delete from ICStockBill where FDate<?"), {cutoff()});
        });
        conn.rollback();
    }
    QString byBill;
    double loop = 0;
    {
        conn.begin();
        loop = timed([&] { clearByBill(conn, cur); });
        byBill = outcome(conn);
        conn.rollback();
    }

    QElapsedTimer t;
    QString steps;
    double last = 0;
    period::setStepObserver([&](const QString &step) {
        const double now = t.nsecsElapsed() / 1e9;
        steps += QStringLiteral(" %1 %2").arg(step).arg(now - last, 0, 'f', 2);
        last = now;
    });
    period::ClearOptions o;
    o.remainDate = keptDay;
    o.delCplOrder = false; // the loop above does not touch orders either
    t.start();
    period::clearHistory(cs, o);
    const double clearing = t.nsecsElapsed() / 1e9;
    period::setStepObserver({});
    const QString bySet = outcome(conn);

    std::printf("  sp_ClsData_1 (@RemainStock, @RemainWL): %.2f s (steps:%s)%s\n", clearing,
                qPrintable(steps),
                name == QLatin1String("SQLite")
                    ? (clearing <= 10 ? " - target <= 10 s met" : " - target <= 10 s MISSED")
                    : "");
    std::printf(
        "  one statement per bill (4 per bill), one transaction: %.2f s; ratio per-bill/procedure: %.1fx\n",
        loop, loop / clearing);
    std::printf("  bare delete of the same bills and lines, one statement each, one transaction: %.2f s; "
                "procedure/bare: %.1fx\n",
                bare, clearing / bare);
    std::printf("  results %s\n    procedure: %s\n    per-bill:  %s\n", bySet == byBill ? "agree" : "DIFFER",
                qPrintable(bySet), qPrintable(byBill));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool ok = false;
    int lines = qEnvironmentVariableIntValue("ZOSTORE_BENCH_LINES", &ok);
    if (!ok || lines <= 0)
        lines = 1'000'000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == QLatin1String("--lines"))
            lines = args[i + 1].toInt();
    period::registerPeriodProcedures();
    return bench::onEachBackend(QStringLiteral("history"), [&](const QString &name, const QString &cs,
                                                               const QString &) { run(name, cs, lines); });
}
