// Body of sp_ClsData_1. It runs inside the caller's transaction under the account-set lock, so a failure
// or a killed process leaves the set as it was.
//
// Stock: the current month's opening (icbal, and per store icstockbal) already holds every earlier month;
// the deleted bills of the current month are added to it, so each item's and each store's quantity and
// value from the kept day on are unchanged.
// Without that option the stock balances go with the bills.
//
// Partners (t_WLBegBal, amounts are the bill lines' FAmount): what we owe a supplier grows with purchase
// receipts (12) and shrinks with purchase returns (14); what a customer owes us grows with sales (22) and
// shrinks with sales returns (24). Gift issues (33) and counter sales (99) owe nothing.
//
// The months before the current one keep no bills and no balances afterwards, so the current month becomes
// the set's first and the closing records that could reopen them go too.
#include "period/HistoryClearing.h"

#include "accountdb/StockMovement.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"
#include "db/ScratchTable.h"

namespace zostore::period {

namespace {

const QStringList businessTables = {
    QStringLiteral("ICStockBillEntry"), QStringLiteral("ICStockBill"), QStringLiteral("ICOrderEntry"),
    QStringLiteral("ICOrder"),          QStringLiteral("icbal"),       QStringLiteral("icstockbal"),
    QStringLiteral("ICInventory"),      QStringLiteral("ICSafeStock"), QStringLiteral("t_ClosePeriodStockBal"),
    QStringLiteral("PosQtZkSet"),       QStringLiteral("t_Message"),   QStringLiteral("t_ClosePeriodLog"),
    QStringLiteral("t_ClosePeriodBal"), QStringLiteral("t_WLBegBal")};

void foldStock(db::Connection &conn, YearPeriod cur) {
    // The cleared lines are read once, per store; each item's fold is its stores' sum.
    createScratchTable(conn, QStringLiteral("zs_clear_fold_store"),
                       QStringLiteral("FItemID integer, FStockID integer, FQty %N, FBal %N"));
    conn.execute(QStringLiteral("insert into zs_clear_fold_store (FItemID,FStockID,FQty,FBal) "
                                "select m.FItemID,m.FStockID,sum(m.FQty),sum(m.FBal) from (%1) m "
                                "group by m.FItemID,m.FStockID")
                     .arg(accountdb::storeMovementLinesSql(QStringLiteral(
                         "t1.FInterID in (select FInterID from zs_clear_bills) and t1.FYear=? and t1.FPeriod=?"))),
                 {cur.year, cur.period, cur.year, cur.period});
    createScratchTable(conn, QStringLiteral("zs_clear_fold"),
                       QStringLiteral("FItemID integer primary key, FQty %N, FBal %N"));
    conn.execute(QStringLiteral("insert into zs_clear_fold (FItemID,FQty,FBal) select FItemID, sum(FQty), sum(FBal) "
                                "from zs_clear_fold_store group by FItemID"));
    conn.execute(QStringLiteral("delete from zs_clear_fold where abs(FQty)<0.0000001 and abs(FBal)<0.00005"));
    conn.execute(QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                                "select FItemID, ?, ?, FQty, 0, FBal from zs_clear_fold where true "
                                "on conflict (FYear,FPeriod,FItemID) do update set "
                                "FBegQty=coalesce(icbal.FBegQty,0)+excluded.FBegQty, "
                                "FBegBal=coalesce(icbal.FBegBal,0)+excluded.FBegBal"),
                 {cur.year, cur.period});
    conn.execute(
        QStringLiteral("update icbal set FBegPrice=case when abs(FBegQty)<0.0000001 then 0 else %1 end "
                       "where FYear=? and FPeriod=? and FItemID in (select FItemID from zs_clear_fold)")
            .arg(accountdb::roundSql(QStringLiteral("FBegBal/FBegQty"), 4)),
        {cur.year, cur.period});
    dropScratchTable(conn, QStringLiteral("zs_clear_fold"));

    conn.execute(QStringLiteral("insert into icstockbal (FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
                                "select ?,?,FItemID,FStockID,FQty,FBal from zs_clear_fold_store "
                                "where abs(FQty)>=0.0000001 or abs(FBal)>=0.00005 "
                                "on conflict (FYear,FPeriod,FItemID,FStockID) do update set "
                                "FBegQty=coalesce(icstockbal.FBegQty,0)+excluded.FBegQty, "
                                "FBegBal=coalesce(icstockbal.FBegBal,0)+excluded.FBegBal"),
                 {cur.year, cur.period});
    dropScratchTable(conn, QStringLiteral("zs_clear_fold_store"));
}

void foldPartners(db::Connection &conn) {
    conn.execute(QStringLiteral(
        "insert into t_WLBegBal (FOrgaType,FOrgaID,FAmount) select * from ("
        "select case when t1.FTranType in (12,14) then 1 else 2 end as k, t1.FOrgaID as o, "
        "sum(case when t1.FTranType in (12,22) then coalesce(t2.FAmount,0) else -coalesce(t2.FAmount,0) end) "
        "as a "
        "from zs_clear_bills c cross join ICStockBill t1 cross join ICStockBillEntry t2 "
        "where t1.FInterID=c.FInterID and t2.FInterID=t1.FInterID and t1.FDeleted=0 "
        "and t1.FTranType in (12,14,22,24) and t1.FOrgaID is not null "
        "group by case when t1.FTranType in (12,14) then 1 else 2 end, t1.FOrgaID) s where true "
        "on conflict (FOrgaType,FOrgaID) do update set "
        "FAmount=coalesce(t_WLBegBal.FAmount,0)+excluded.FAmount"));
}

void deleteCompletedOrders(db::Connection &conn) {
    createScratchTable(conn, QStringLiteral("zs_clear_orders"),
                       QStringLiteral("FInterID integer primary key"));
    conn.execute(QStringLiteral(
        "insert into zs_clear_orders (FInterID) select o.FInterID from ICOrder o "
        "where exists (select 1 from ICOrderEntry e where e.FInterID=o.FInterID) "
        "and not exists (select 1 from ICOrderEntry e where e.FInterID=o.FInterID "
        "and coalesce(e.FCancelAction,0)=0 and coalesce(e.FCompleteQty,0)<coalesce(e.FQty,0))"));
    conn.execute(
        QStringLiteral("delete from ICOrderEntry where FInterID in (select FInterID from zs_clear_orders)"));
    conn.execute(
        QStringLiteral("delete from ICOrder where FInterID in (select FInterID from zs_clear_orders)"));
    dropScratchTable(conn, QStringLiteral("zs_clear_orders"));
}

void deleteUnusedItems(db::Connection &conn) {
    createScratchTable(conn, QStringLiteral("zs_clear_items"), QStringLiteral("FItemID integer primary key"));
    conn.execute(
        QStringLiteral("insert into zs_clear_items (FItemID) select FItemID from t_ICItem i where "
                       "not exists (select 1 from ICStockBillEntry e where e.FItemID=i.FItemID) "
                       "and i.FItemID not in (select FItemID from ICOrderEntry) "
                       "and i.FItemID not in (select FItemID from icbal) "
                       "and i.FItemID not in (select FItemID from ICSafeStock) "
                       "and i.FItemID not in (select FItemID from PosQtZkSet where FItemID is not null)"));
    conn.execute(
        QStringLiteral("delete from t_icitem_barcode where FItemID in (select FItemID from zs_clear_items)"));
    conn.execute(
        QStringLiteral("delete from t_ICItem where FItemID in (select FItemID from zs_clear_items)"));
    dropScratchTable(conn, QStringLiteral("zs_clear_items"));
}

void clearBefore(db::Connection &conn, YearPeriod cur, const QDateTime &cutoff, bool remainStock,
                 bool remainWL) {
    createScratchTable(conn, QStringLiteral("zs_clear_bills"),
                       QStringLiteral("FInterID integer primary key"));
    conn.execute(QStringLiteral(
                     "insert into zs_clear_bills (FInterID) select FInterID from ICStockBill where FDate<?"),
                 {cutoff});
    prepareScratchTable(conn, QStringLiteral("zs_clear_bills"));
    if (remainStock) {
        foldStock(conn, cur);
        conn.execute(QStringLiteral("delete from icbal where FYear*12+FPeriod<?"), {cur.index()});
        conn.execute(QStringLiteral("delete from icstockbal where FYear*12+FPeriod<?"), {cur.index()});
    } else {
        conn.execute(QStringLiteral("delete from icbal"));
        conn.execute(QStringLiteral("delete from icstockbal"));
    }
    passStep(QStringLiteral("clear.stock"));
    if (remainWL)
        foldPartners(conn);
    else
        conn.execute(QStringLiteral("delete from t_WLBegBal"));
    passStep(QStringLiteral("clear.partners"));
    conn.execute(QStringLiteral(
        "delete from ICStockBillEntry where FInterID in (select FInterID from zs_clear_bills)"));
    passStep(QStringLiteral("clear.entries"));
    conn.execute(
        QStringLiteral("delete from ICStockBill where FInterID in (select FInterID from zs_clear_bills)"));
    dropScratchTable(conn, QStringLiteral("zs_clear_bills"));
    conn.execute(QStringLiteral("delete from t_ClosePeriodLog"));
    conn.execute(QStringLiteral("delete from t_ClosePeriodBal"));
    conn.execute(QStringLiteral("delete from t_ClosePeriodStockBal"));
    // Folded bills leave today's stock as it was; without the balances it goes with them.
    if (!remainStock)
        accountdb::rebuildStoreStock(conn);
}

} // namespace

bool isInPeriod(const QDate &date, YearPeriod current) {
    return date.isValid() && date.year() * 12 + date.month() == current.index();
}

QString clearDateMessage(YearPeriod current) {
    return QStringLiteral("清除截止日期必须在当前期间“%1年%2月范围内").arg(current.year).arg(current.period);
}

db::Recordset spClsData1(db::Connection &conn, const db::ProcArgs &args) {
    const YearPeriod cur = storedCurrentPeriod(conn);
    const QDateTime remain = args.toDateTime(QStringLiteral("@RemainDate"));
    if (!remain.isValid() || !isInPeriod(remain.date(), cur))
        throw Error(clearDateMessage(cur));
    const QDateTime cutoff(remain.date(), QTime(0, 0));

    if (args.toInt(QStringLiteral("@Reinit")) == 1) {
        for (const QString &t : businessTables)
            conn.execute(QStringLiteral("delete from %1").arg(t));
    } else {
        clearBefore(conn, cur, cutoff, args.toInt(QStringLiteral("@RemainStock")) == 1,
                    args.toInt(QStringLiteral("@RemainWL")) == 1);
    }
    writeStoredStartPeriod(conn, cur);
    passStep(QStringLiteral("clear.bills"));
    if (args.toInt(QStringLiteral("@DelCplOrder")) == 1)
        deleteCompletedOrders(conn);
    if (args.toInt(QStringLiteral("@DelItem")) == 1)
        deleteUnusedItems(conn);
    passStep(QStringLiteral("clear.done"));
    return {};
}

void registerHistoryClearing() {
    using db::ParamType;
    db::ProcedureRegistry::instance().add({QStringLiteral("sp_ClsData_1"),
                                           {{QStringLiteral("@RemainStock"), ParamType::Integer},
                                            {QStringLiteral("@RemainWL"), ParamType::Integer},
                                            {QStringLiteral("@Reinit"), ParamType::Integer},
                                            {QStringLiteral("@RemainDate"), ParamType::Date},
                                            {QStringLiteral("@DelItem"), ParamType::Integer},
                                            {QStringLiteral("@DelCplOrder"), ParamType::Integer}},
                                           spClsData1,
                                           true});
}

void clearHistory(const QString &cnstr, const ClearOptions &o) {
    db::ProcArgs args;
    args.add(QStringLiteral("@RemainStock"), db::ParamType::Integer, o.remainStock ? 1 : 0);
    args.add(QStringLiteral("@RemainWL"), db::ParamType::Integer, o.remainWL ? 1 : 0);
    args.add(QStringLiteral("@Reinit"), db::ParamType::Integer, o.reinit ? 1 : 0);
    args.add(QStringLiteral("@RemainDate"), db::ParamType::Date, QDateTime(o.remainDate, QTime(0, 0)));
    args.add(QStringLiteral("@DelItem"), db::ParamType::Integer, o.delItem ? 1 : 0);
    args.add(QStringLiteral("@DelCplOrder"), db::ParamType::Integer, o.delCplOrder ? 1 : 0);
    db::Connection conn(cnstr);
    conn.callProcedure(QStringLiteral("sp_ClsData_1"), args, 0);
}

} // namespace zostore::period
