// Body of sp_CacuCost, for the account's stored current month (Y, P).
//
// Rule, per item:
//   base quantity = icbal(Y, P).FBegQty + sum of FQty of the month's purchase receipts (type 12)
//   base value    = icbal(Y, P).FBegBal + sum of FAmount of those receipts
//   unit cost     = base value / base quantity, rounded to 4 decimal places
// Only non-deleted bills count. Every entry of the month of types 14, 15, 16, 22, 24, 25, 26, 31, 33
// and 99 takes that unit cost, and FCost = FQty x unit cost rounded to 2 places; entries of 15, 25 and
// 31 are valued at cost (FPrice, FAmount) and their bills' FSumAmount becomes the sum of the entries.
// The item's cost price FPjCost becomes the unit cost.
// An item whose base quantity is zero or negative has no average: its entries and cost price keep
// what they had, and the cost list shows any entry still without cost.
#include "period/CacuCostProcedure.h"

#include "accountdb/StockMovement.h"
#include "db/Connection.h"
#include "db/Procedure.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"
#include "db/ScratchTable.h"

namespace zostore::period {

static QString averageSql() {
    return QStringLiteral(
               "(select x.FItemID, %1 as FUnitCost from (select u.FItemID, sum(u.FQty) as FQty, "
               "sum(u.FBal) as FBal from (select FItemID, isnull(FBegQty,0) as FQty, isnull(FBegBal,0) as "
               "FBal "
               "from icbal where FYear=? and FPeriod=? union all "
               "select t2.FItemID, isnull(t2.FQty,0), isnull(t2.FAmount,0) from ICStockBill t1 inner join "
               "ICStockBillEntry t2 on t1.FInterID=t2.FInterID where t1.FYear=? and t1.FPeriod=? "
               "and t1.FDeleted=0 and t1.FTranType=12) u group by u.FItemID) x where x.FQty>0)")
        .arg(accountdb::roundSql(QStringLiteral("x.FBal/x.FQty"), 4));
}

db::Recordset spCacuCost(db::Connection &conn, const db::ProcArgs &) {
    const YearPeriod p = storedCurrentPeriod(conn);
    createScratchTable(conn, QStringLiteral("zs_avgcost"),
                       QStringLiteral("FItemID integer primary key, FUnitCost %N"));
    conn.execute(
        QStringLiteral("insert into zs_avgcost (FItemID,FUnitCost) select a.FItemID, a.FUnitCost from ") +
            averageSql() + QStringLiteral(" a"),
        {p.year, p.period, p.year, p.period});
    prepareScratchTable(conn, QStringLiteral("zs_avgcost"));

    // Entries that already hold their cost are left alone: rewriting a row costs far more than comparing it.
    // Bills valued at cost take their price in the same write, so that no line is written twice.
    const QString cost = accountdb::roundSql(QStringLiteral("ICStockBillEntry.FQty*a.FUnitCost"), 2);
    conn.execute(
        QStringLiteral(
            "update ICStockBillEntry set FUnitCost=a.FUnitCost, FCost=%1, "
            "FPrice=case when t1.FTranType in (15,25,31) then a.FUnitCost else ICStockBillEntry.FPrice end, "
            "FAmount=case when t1.FTranType in (15,25,31) then %1 else ICStockBillEntry.FAmount end "
            "from zs_avgcost a, "
            "ICStockBill t1 where t1.FInterID=ICStockBillEntry.FInterID "
            "and a.FItemID=ICStockBillEntry.FItemID and t1.FYear=? and t1.FPeriod=? "
            "and t1.FDeleted=0 and t1.FTranType in (%2) and (ICStockBillEntry.FUnitCost is "
            "distinct from a.FUnitCost or ICStockBillEntry.FCost is distinct from %1)")
            .arg(cost, accountdb::costTakingTypes),
        {p.year, p.period});
    passStep(QStringLiteral("cost.entries"));

    conn.execute(
        QStringLiteral("update ICStockBillEntry set FPrice=FUnitCost, FAmount=FCost from ICStockBill t1 "
                       "where t1.FInterID=ICStockBillEntry.FInterID and t1.FYear=? and t1.FPeriod=? "
                       "and t1.FDeleted=0 and t1.FTranType in (15,25,31) and (ICStockBillEntry.FPrice is "
                       "distinct from ICStockBillEntry.FUnitCost or ICStockBillEntry.FAmount is distinct "
                       "from ICStockBillEntry.FCost)"),
        {p.year, p.period});
    conn.execute(QStringLiteral("update ICStockBill set FSumAmount=s.FSumAmount from (select e.FInterID, "
                                "isnull(sum(e.FAmount),0) as FSumAmount from ICStockBill b inner join "
                                "ICStockBillEntry e on b.FInterID=e.FInterID where b.FYear=? and b.FPeriod=? "
                                "and b.FDeleted=0 and b.FTranType in (15,25,31) group by e.FInterID) s "
                                "where ICStockBill.FInterID=s.FInterID "
                                "and ICStockBill.FSumAmount is distinct from s.FSumAmount"),
                 {p.year, p.period});
    passStep(QStringLiteral("cost.valued"));

    conn.execute(
        QStringLiteral("update t_ICItem set FPjCost=a.FUnitCost from zs_avgcost a "
                       "where a.FItemID=t_ICItem.FItemID and t_ICItem.FPjCost is distinct from a.FUnitCost"));
    dropScratchTable(conn, QStringLiteral("zs_avgcost"));
    passStep(QStringLiteral("cost.items"));
    return {};
}

} // namespace zostore::period
