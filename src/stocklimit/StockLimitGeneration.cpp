// Stock limits from sales issues and counter sales, for one store or for the item totals.
#include "stocklimit/StockLimitGeneration.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "stocklimit/SalesSpan.h"

namespace zostore::stocklimit {

namespace {

constexpr int ManyRows = 1000;

// Products keep six decimals before rounding up so that both backends round a product alike.
const QString itemTotals = QStringLiteral(
    "update t_icitem as t1 set FMinStock=ceiling(round(t4.FQty*?,6)),"
    "FMaxStock=ceiling(round(t4.FQty*?,6)),FSafeStock=ceiling(round(t4.FQty*?,6)) "
    "from (select t3.FItemID,sum(t3.FQty) as FQty "
    "from ICStockBill t2 inner join ICStockBillEntry t3 on t2.FInterID=t3.FInterID "
    "where t2.FDeleted=0 and t2.FDate between ? and ? and t2.FTranType in (22,99) "
    "group by t3.FItemID) t4 "
    "where t1.FItemID=t4.FItemID and t4.FQty>0 and t1.FNumber between ? and ?");

const QString storeRows = QStringLiteral(
    "insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) "
    "select cast(? as integer),FItemID,0,0,0 from t_icitem where FDel=0 and FItemID not in "
    "(select FItemID from ICSafeStock where FStockID=?) and FNumber between ? and ?");

const QString storeReset = QStringLiteral(
    "update ICSafeStock set FMin=0,FMax=0,FSafe=0 where FStockID=? and FItemID in "
    "(select FItemID from t_icitem where FNumber between ? and ?)");

const QString storeFromOwnSales = QStringLiteral(
    "update ICSafeStock as t1 set FMin=ceiling(round(t4.FQty*?,6)),"
    "FMax=ceiling(round(t4.FQty*?,6)),FSafe=ceiling(round(t4.FQty*?,6)) "
    "from (select t3.FItemID,sum(t3.FQty) as FQty "
    "from ICStockBill t2 inner join ICStockBillEntry t3 on t2.FInterID=t3.FInterID "
    "where t2.FDeleted=0 and t2.FOutStockID=? and t2.FDate between ? and ? and t2.FTranType in (22,99) "
    "group by t3.FItemID) t4, t_icitem t5 "
    "where t1.FItemID=t4.FItemID and t1.FItemID=t5.FItemID and t1.FStockID=? and t4.FQty>0 "
    "and t5.FNumber between ? and ?");

const QString storeFromAllSales = QStringLiteral(
    "update ICSafeStock as t1 set FMin=ceiling(round(t4.FQty*?,6)),"
    "FMax=ceiling(round(t4.FQty*?,6)),FSafe=ceiling(round(t4.FQty*?,6)) "
    "from (select t3.FItemID,sum(t3.FQty) as FQty "
    "from ICStockBill t2 inner join ICStockBillEntry t3 on t2.FInterID=t3.FInterID "
    "where t2.FDeleted=0 and t2.FDate between ? and ? and t2.FTranType in (22,99) "
    "group by t3.FItemID) t4, t_icitem t5 "
    "where t1.FItemID=t4.FItemID and t1.FItemID=t5.FItemID and t1.FStockID=? and t4.FQty>0 "
    "and t5.FNumber between ? and ?");

} // namespace

void StockLimitGeneration::generate(db::Connection &conn, const GenerationRequest &r,
                                    const std::function<void()> &beforeCommit) {
    const QVariant from = spanStart(r.first);
    const QVariant to = spanEnd(r.last);
    const QString a = r.rangeFrom();
    const QString z = r.rangeTo();
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    if (r.stockId < 1) {
        conn.execute(itemTotals, {r.minF, r.maxF, r.safeF, from, to, a, z});
    } else {
        const int k = r.stockId;
        // The planner must see the rows just added, or it joins them to the sales row by row.
        if (conn.execute(storeRows, {k, k, a, z}) > ManyRows)
            conn.execute(QStringLiteral("analyze ICSafeStock"));
        conn.execute(storeReset, {k, a, z});
        if (r.ownStoreSales)
            conn.execute(storeFromOwnSales, {r.minF, r.maxF, r.safeF, k, from, to, k, a, z});
        else
            conn.execute(storeFromAllSales, {r.minF, r.maxF, r.safeF, from, to, k, a, z});
    }
    if (beforeCommit)
        beforeCommit();
    tx.commit();
}

} // namespace zostore::stocklimit
