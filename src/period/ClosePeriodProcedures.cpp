// Bodies of sp_ClosePeriod and sp_UnClosePeriod. Both run inside the caller's transaction, so a failure
// anywhere leaves the account as it was.
//
// Carry rule, per store: next month's opening = this month's opening + the month's signed movement in
// that store (see StoreStock.h); per item, icbal holds the stores' sums, FBegPrice = FBegBal / FBegQty
// rounded to 4 places, 0 when the quantity is 0. Quantities are rounded to 4 places, values to 2. Every
// item with an opening row or a movement in the month gets a row; an item with neither has nothing to
// carry. Today's stock per store does not change: the automatic bills move value only.
//
// Undo: rows of the next month that existed before the closing are kept in t_ClosePeriodBal, and the
// automatic issue bills are listed in t_ClosePeriodLog, both under the closed month, so reopening
// puts back exactly what was there.
#include "period/ClosePeriodProcedures.h"

#include "accountdb/ClosingLog.h"
#include "accountdb/StockMovement.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"
#include "db/ScratchTable.h"

namespace zostore::period {

// The month's ending per store, and per item as the stores' sums.
static void computeEnding(db::Connection &conn, YearPeriod cur) {
    accountdb::computeStoreEnding(conn, QStringLiteral("zs_ending_store"), cur.year, cur.period);
    createScratchTable(conn, QStringLiteral("zs_ending"),
                       QStringLiteral("FItemID integer primary key, FQty %N, FBal %N"));
    conn.execute(QStringLiteral("insert into zs_ending (FItemID,FQty,FBal) select FItemID, sum(FQty), sum(FBal) "
                                "from zs_ending_store group by FItemID"));
}

static const QString zeroQtyWithValue =
    QStringLiteral("abs(FQty)<0.0000001 and abs(round(cast((FBal) as numeric),2))>=0.005");
static const QString zeroQtyItems =
    QStringLiteral("FItemID in (select FItemID from zs_ending where %1)").arg(zeroQtyWithValue);

// One issue bill per store that holds value of items whose quantity is zero over all stores.
static void makeAutomaticIssueBills(db::Connection &conn, YearPeriod cur, int billerId,
                                    const QDateTime &billDate) {
    const QString value = accountdb::roundSql(QStringLiteral("FBal"), 2);
    const QString lines = QStringLiteral("%1 and abs(%2)>=0.005").arg(zeroQtyItems, value);
    QList<int> stores;
    for (db::Recordset rs = conn.open(
             QStringLiteral("select distinct FStockID from zs_ending_store where %1 order by FStockID").arg(lines));
         !rs.eof(); rs.moveNext())
        stores << rs.toInt(QStringLiteral("FStockID"));
    const QString month =
        QStringLiteral("JZCK%1%2").arg(cur.year, 4, 10, QChar(u'0')).arg(cur.period, 2, 10, QChar(u'0'));
    for (int k = 0; k < stores.size(); ++k) {
        const int store = stores[k];
        const double total =
            conn.scalar(QStringLiteral("select isnull(sum(%1),0) from zs_ending_store where FStockID=? and %2")
                            .arg(value, lines),
                        {store})
                .toDouble();
        const qint64 interId =
            conn.scalar(QStringLiteral("select isnull(max(FInterID),0)+1 from ICStockBill")).toLongLong();
        const QString billNo = k == 0 ? month : QStringLiteral("%1-%2").arg(month).arg(k + 1);
        conn.execute(
            QStringLiteral("insert into ICStockBill (FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,"
                           "FOutStockID,FBillerID,FRemark,FSumAmount,FSumCost,FSumProfit) "
                           "values (?,?,?,?,?,25,0,?,?,?,?,?,0)"),
            {interId, billNo, billDate, cur.year, cur.period, store == 0 ? QVariant() : QVariant(store), billerId,
             QStringLiteral("结账自动出库：数量为零、金额不为零的商品"), total, total});
        passStep(QStringLiteral("close.autobill.header"));
        conn.execute(
            QStringLiteral("insert into ICStockBillEntry (FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                           "FAmount,FUnitCost,FCost,FPreSend) "
                           "select ?, row_number() over (order by FItemID), FItemID, 0, 0, 0, %1, 0, %1, 0 "
                           "from zs_ending_store where FStockID=? and %2")
                .arg(value, lines),
            {interId, store});
        conn.execute(QStringLiteral("insert into t_ClosePeriodLog (FYear,FPeriod,FInterID) values (?,?,?)"),
                     {cur.year, cur.period, interId});
    }
    // The bills issued the whole value; what is left is below a cent per store and carries as nothing.
    conn.execute(QStringLiteral("update zs_ending_store set FBal=0 where ") + zeroQtyItems);
    conn.execute(QStringLiteral("update zs_ending set FBal=0 where ") + zeroQtyWithValue);
}

// The openings a closing replaces, each with the table that keeps the replaced rows for reopening.
struct Openings {
    QString table, undo, columns;
};
static const Openings openingTables[] = {
    {QStringLiteral("icbal"), QStringLiteral("t_ClosePeriodBal"),
     QStringLiteral("FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal")},
    {QStringLiteral("icstockbal"), QStringLiteral("t_ClosePeriodStockBal"),
     QStringLiteral("FItemID,FStockID,FYear,FPeriod,FBegQty,FBegBal")}};

static void saveOpenings(db::Connection &conn, const Openings &o, YearPeriod closed, YearPeriod next) {
    conn.execute(QStringLiteral("insert into %1 (FCloseYear,FClosePeriod,%3) select ?,?,%3 from %2 "
                                "where FYear=? and FPeriod=?")
                     .arg(o.undo, o.table, o.columns),
                 {closed.year, closed.period, next.year, next.period});
}

static void restoreOpenings(db::Connection &conn, const Openings &o, YearPeriod closed, YearPeriod next) {
    conn.execute(QStringLiteral("delete from %1 where FYear=? and FPeriod=?").arg(o.table), {next.year, next.period});
    conn.execute(QStringLiteral("insert into %1 (%3) select %3 from %2 where FCloseYear=? and FClosePeriod=?")
                     .arg(o.table, o.undo, o.columns),
                 {closed.year, closed.period});
    conn.execute(QStringLiteral("delete from %1 where FCloseYear=? and FClosePeriod=?").arg(o.undo),
                 {closed.year, closed.period});
}

db::Recordset spClosePeriod(db::Connection &conn, const db::ProcArgs &args) {
    const int billerId = args.toInt(QStringLiteral("@BillerID"));
    const QDateTime billDate = args.toDateTime(QStringLiteral("@BillDate"));
    const YearPeriod cur = storedCurrentPeriod(conn);
    const YearPeriod next = nextPeriod(cur);
    // A month closed meanwhile from another workstation must not be closed again under the old date.
    if (!billDate.isValid() || billDate.date().year() != cur.year || billDate.date().month() != cur.period)
        throw Error(
            QStringLiteral("结账日期与帐套当前月份%1年%2月不符，可能已在其他电脑上结账，请重新登录后再试！")
                .arg(cur.year)
                .arg(cur.period));

    for (const Openings &o : openingTables)
        saveOpenings(conn, o, cur, next);
    conn.execute(QStringLiteral("delete from icbal where FYear=? and FPeriod=?"), {next.year, next.period});
    passStep(QStringLiteral("close.saved"));

    computeEnding(conn, cur);
    if (billerId != 0)
        makeAutomaticIssueBills(conn, cur, billerId, billDate);
    passStep(QStringLiteral("close.autobill"));

    conn.execute(
        QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                       "select FItemID, ?, ?, %3, case when abs(FQty)<0.0000001 then 0 else %1 end, %2 "
                       "from zs_ending")
            .arg(accountdb::roundSql(QStringLiteral("FBal/FQty"), 4),
                 accountdb::roundSql(QStringLiteral("FBal"), 2),
                 accountdb::roundSql(QStringLiteral("FQty"), 4)),
        {next.year, next.period});
    accountdb::writeStoreOpenings(conn, QStringLiteral("zs_ending_store"), next.year, next.period);
    dropScratchTable(conn, QStringLiteral("zs_ending"));
    dropScratchTable(conn, QStringLiteral("zs_ending_store"));
    passStep(QStringLiteral("close.carried"));

    accountdb::markMonthClosed(conn, cur.year, cur.period);
    writeStoredCurrentPeriod(conn, next);
    passStep(QStringLiteral("close.advanced"));
    return {};
}

db::Recordset spUnClosePeriod(db::Connection &conn, const db::ProcArgs &) {
    const YearPeriod cur = storedCurrentPeriod(conn);
    const YearPeriod start = storedStartPeriod(conn);
    if (cur.index() <= start.index())
        throw Error(
            QStringLiteral("当前月份%1年%2月已是帐套启用月份，不能反结账！").arg(cur.year).arg(cur.period));
    const YearPeriod prev = previousPeriod(cur);
    // Without the closing's record there is nothing to put back: reopening would only destroy balances.
    if (!accountdb::isMonthClosed(conn, prev.year, prev.period))
        throw Error(QStringLiteral("%1年%2月没有结过帐，不能反结账！").arg(prev.year).arg(prev.period));

    for (const Openings &o : openingTables)
        restoreOpenings(conn, o, prev, cur);
    passStep(QStringLiteral("reopen.balances"));

    const QString logged =
        QStringLiteral("(select FInterID from t_ClosePeriodLog where FYear=? and FPeriod=?)");
    conn.execute(QStringLiteral("delete from ICStockBillEntry where FInterID in ") + logged,
                 {prev.year, prev.period});
    conn.execute(QStringLiteral("delete from ICStockBill where FInterID in ") + logged,
                 {prev.year, prev.period});
    conn.execute(QStringLiteral("delete from t_ClosePeriodLog where FYear=? and FPeriod=?"),
                 {prev.year, prev.period});
    passStep(QStringLiteral("reopen.bills"));

    writeStoredCurrentPeriod(conn, prev);
    passStep(QStringLiteral("reopen.period"));
    return {};
}

} // namespace zostore::period
