// Bodies of sp_ClosePeriod and sp_UnClosePeriod. Both run inside the caller's transaction, so a failure
// anywhere leaves the account as it was.
//
// Carry rule: next month's FBegQty/FBegBal = this month's icbal opening + the month's signed movement
// (see StockMovement.h); FBegPrice = FBegBal / FBegQty rounded to 4 places, 0 when the quantity is 0.
// Quantities are rounded to 4 places, values to 2. Every item with an opening row or a
// movement in the month gets a row; an item with neither has nothing to carry.
//
// Undo: rows of the next month that existed before the closing are kept in t_ClosePeriodBal, and the
// automatic issue bills are listed in t_ClosePeriodLog, both under the closed month, so reopening
// puts back exactly what was there.
#include "period/ClosePeriodProcedures.h"

#include "accountdb/ClosingLog.h"
#include "accountdb/Schema.h"
#include "accountdb/StockMovement.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"
#include "period/ScratchTable.h"

namespace zostore::period {

void ensureClosingLogTables(db::Connection &conn) {
    // Account sets made before the schema listed these tables get them on their first closing.
    accountdb::ensureTable(conn, QStringLiteral("t_ClosePeriodLog"));
    accountdb::ensureTable(conn, QStringLiteral("t_ClosePeriodBal"));
}

// Ending quantity and value per item of month (year, period), as a derived table.
static QString endingSql() {
    return QStringLiteral("(select u.FItemID, sum(u.FQty) as FQty, sum(u.FBal) as FBal from ("
                          "select FItemID, isnull(FBegQty,0) as FQty, isnull(FBegBal,0) as FBal from icbal "
                          "where FYear=? and FPeriod=? union all %1) u group by u.FItemID)")
        .arg(accountdb::monthMovementSql());
}

// The month's ending quantity and value per item, computed once into a temporary table.
static void computeEnding(db::Connection &conn, YearPeriod cur) {
    createScratchTable(conn, QStringLiteral("zs_ending"),
                       QStringLiteral("FItemID integer primary key, FQty %N, FBal %N"));
    if (conn.isPostgres()) {
        conn.execute(QStringLiteral(
                         "insert into zs_ending (FItemID,FQty,FBal) select e.FItemID, e.FQty, e.FBal from ") +
                         endingSql() + QStringLiteral(" e"),
                     {cur.year, cur.period, cur.year, cur.period});
        return;
    }
    // SQLite groups by sorting every line; adding each line into its item's keyed row costs half as much.
    // The opening is added to the month's sum last, as the grouped form does.
    const QString addUp =
        QStringLiteral(" where true on conflict(FItemID) do update set FQty=FQty+excluded.FQty, "
                       "FBal=FBal+excluded.FBal");
    createScratchTable(conn, QStringLiteral("zs_movement"),
                       QStringLiteral("FItemID integer primary key, FQty %N, FBal %N"));
    conn.execute(QStringLiteral(
                     "insert into zs_movement (FItemID,FQty,FBal) select m.FItemID, m.FQty, m.FBal from (") +
                     accountdb::monthMovementLinesSql() + QStringLiteral(") m") + addUp,
                 {cur.year, cur.period});
    conn.execute(
        QStringLiteral("insert into zs_ending (FItemID,FQty,FBal) select FItemID, isnull(FBegQty,0), "
                       "isnull(FBegBal,0) from icbal where FYear=? and FPeriod=?"),
        {cur.year, cur.period});
    conn.execute(
        QStringLiteral(
            "insert into zs_ending (FItemID,FQty,FBal) select FItemID, FQty, FBal from zs_movement") +
        addUp);
    dropScratchTable(conn, QStringLiteral("zs_movement"));
}

static const QString zeroQtyWithValue =
    QStringLiteral("abs(FQty)<0.0000001 and abs(round(cast((FBal) as numeric),2))>=0.005");

static void makeAutomaticIssueBill(db::Connection &conn, YearPeriod cur, int billerId,
                                   const QDateTime &billDate) {
    db::Recordset sums =
        conn.open(QStringLiteral("select count(*) as n, isnull(sum(%1),0) as total from zs_ending "
                                 "where %2")
                      .arg(accountdb::roundSql(QStringLiteral("FBal"), 2), zeroQtyWithValue));
    const int count = sums.toInt(QStringLiteral("n"));
    const double total = sums.toDouble(QStringLiteral("total"));
    if (count == 0)
        return;
    const qint64 interId =
        conn.scalar(QStringLiteral("select isnull(max(FInterID),0)+1 from ICStockBill")).toLongLong();
    const QString billNo =
        QStringLiteral("JZCK%1%2").arg(cur.year, 4, 10, QChar(u'0')).arg(cur.period, 2, 10, QChar(u'0'));
    conn.execute(
        QStringLiteral("insert into ICStockBill (FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,"
                       "FBillerID,FRemark,FSumAmount,FSumCost,FSumProfit) "
                       "values (?,?,?,?,?,25,0,?,?,?,?,0)"),
        {interId, billNo, billDate, cur.year, cur.period, billerId,
         QStringLiteral("结账自动出库：数量为零、金额不为零的商品"), total, total});
    passStep(QStringLiteral("close.autobill.header"));
    conn.execute(
        QStringLiteral("insert into ICStockBillEntry (FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                       "FAmount,FUnitCost,FCost,FPreSend) "
                       "select ?, row_number() over (order by FItemID), FItemID, 0, 0, 0, %1, 0, %1, 0 "
                       "from zs_ending where %2")
            .arg(accountdb::roundSql(QStringLiteral("FBal"), 2), zeroQtyWithValue),
        {interId});
    conn.execute(QStringLiteral("insert into t_ClosePeriodLog (FYear,FPeriod,FInterID) values (?,?,?)"),
                 {cur.year, cur.period, interId});
    // The bill issued the whole value; what is left is below a cent and carries as nothing.
    conn.execute(QStringLiteral("update zs_ending set FBal=0 where ") + zeroQtyWithValue);
}

db::Recordset spClosePeriod(db::Connection &conn, const db::ProcArgs &args) {
    const int billerId = args.toInt(QStringLiteral("@BillerID"));
    const QDateTime billDate = args.toDateTime(QStringLiteral("@BillDate"));
    ensureClosingLogTables(conn);
    const YearPeriod cur = storedCurrentPeriod(conn);
    const YearPeriod next = nextPeriod(cur);
    // A month closed meanwhile from another workstation must not be closed again under the old date.
    if (!billDate.isValid() || billDate.date().year() != cur.year || billDate.date().month() != cur.period)
        throw Error(
            QStringLiteral("结账日期与帐套当前月份%1年%2月不符，可能已在其他电脑上结账，请重新登录后再试！")
                .arg(cur.year)
                .arg(cur.period));

    conn.execute(
        QStringLiteral("insert into t_ClosePeriodBal (FCloseYear,FClosePeriod,FItemID,FYear,FPeriod,"
                       "FBegQty,FBegPrice,FBegBal) select ?,?,FItemID,FYear,FPeriod,FBegQty,FBegPrice,"
                       "FBegBal from icbal where FYear=? and FPeriod=?"),
        {cur.year, cur.period, next.year, next.period});
    conn.execute(QStringLiteral("delete from icbal where FYear=? and FPeriod=?"), {next.year, next.period});
    passStep(QStringLiteral("close.saved"));

    computeEnding(conn, cur);
    if (billerId != 0)
        makeAutomaticIssueBill(conn, cur, billerId, billDate);
    passStep(QStringLiteral("close.autobill"));

    conn.execute(
        QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                       "select FItemID, ?, ?, %3, case when abs(FQty)<0.0000001 then 0 else %1 end, %2 "
                       "from zs_ending")
            .arg(accountdb::roundSql(QStringLiteral("FBal/FQty"), 4),
                 accountdb::roundSql(QStringLiteral("FBal"), 2),
                 accountdb::roundSql(QStringLiteral("FQty"), 4)),
        {next.year, next.period});
    dropScratchTable(conn, QStringLiteral("zs_ending"));
    passStep(QStringLiteral("close.carried"));

    accountdb::markMonthClosed(conn, cur.year, cur.period);
    writeStoredCurrentPeriod(conn, next);
    passStep(QStringLiteral("close.advanced"));
    return {};
}

db::Recordset spUnClosePeriod(db::Connection &conn, const db::ProcArgs &) {
    ensureClosingLogTables(conn);
    const YearPeriod cur = storedCurrentPeriod(conn);
    const YearPeriod start = storedStartPeriod(conn);
    if (cur.index() <= start.index())
        throw Error(
            QStringLiteral("当前月份%1年%2月已是帐套启用月份，不能反结账！").arg(cur.year).arg(cur.period));
    const YearPeriod prev = previousPeriod(cur);
    // Without the closing's record there is nothing to put back: reopening would only destroy balances.
    if (!accountdb::isMonthClosed(conn, prev.year, prev.period))
        throw Error(QStringLiteral("%1年%2月没有结过帐，不能反结账！").arg(prev.year).arg(prev.period));

    conn.execute(QStringLiteral("delete from icbal where FYear=? and FPeriod=?"), {cur.year, cur.period});
    conn.execute(
        QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                       "select FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal from t_ClosePeriodBal "
                       "where FCloseYear=? and FClosePeriod=?"),
        {prev.year, prev.period});
    conn.execute(QStringLiteral("delete from t_ClosePeriodBal where FCloseYear=? and FClosePeriod=?"),
                 {prev.year, prev.period});
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
