// Stock limits from sales issues, as the month-end closing regenerates them.
#include "stocklimit/GenMinMaxStock.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "stocklimit/SalesSpan.h"

namespace zostore::stocklimit {

// Products keep six decimals before rounding up, so that a float product such as 10 x 1.1 rounds to 11
// on SQLite exactly as the numeric product does on PostgreSQL.

GenMinMaxStock::GenMinMaxStock(QString connectionString) : m_cnstr(std::move(connectionString)) {}

void GenMinMaxStock::GenMaxMinStock(const QDate &first, const QDate &last, double maxF, double minF, double safeF,
                                    bool perStore) {
    db::Connection conn(m_cnstr);
    conn.setTimeout(3000);
    const QVariant from = spanStart(first);
    const QVariant to = spanEnd(last);
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    if (perStore) {
        const int added = conn.execute(QStringLiteral(
            "insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) "
            "select s.FItemID,i.FItemID,0,0,0 from t_Stock s, t_icitem i "
            "where s.FVirtual=0 and i.FDel=0 and not exists "
            "(select 1 from ICSafeStock x where x.FStockID=s.FItemID and x.FItemID=i.FItemID)"));
        // The planner must see the rows just added, or it joins them to the sales row by row.
        if (added > 1000)
            conn.execute(QStringLiteral("analyze ICSafeStock"));
        conn.execute(QStringLiteral(
                         "update ICSafeStock as t1 set FMin=ceiling(round(t4.FQty*?,6)),"
                         "FMax=ceiling(round(t4.FQty*?,6)),FSafe=ceiling(round(t4.FQty*?,6)) "
                         "from (select t2.FOutStockID,t3.FItemID,sum(t3.FQty) as FQty "
                         "from ICStockBill t2 inner join ICStockBillEntry t3 on t2.FInterID=t3.FInterID "
                         "where t2.FDeleted=0 and t2.FDate between ? and ? and t2.FTranType=22 "
                         "group by t2.FOutStockID,t3.FItemID) t4 "
                         "where t1.FItemID=t4.FItemID and t1.FStockID=t4.FOutStockID "
                         "and t1.FStockID in (select FItemID from t_Stock where FVirtual=0)"),
                     {minF, maxF, safeF, from, to});
    }
    conn.execute(QStringLiteral(
                     "update t_icitem as t1 set FMinStock=ceiling(round(t4.FQty*?,6)),"
                     "FMaxStock=ceiling(round(t4.FQty*?,6)),FSafeStock=ceiling(round(t4.FQty*?,6)) "
                     "from (select t3.FItemID,sum(t3.FQty) as FQty "
                     "from ICStockBill t2 inner join ICStockBillEntry t3 on t2.FInterID=t3.FInterID "
                     "where t2.FDeleted=0 and t2.FDate between ? and ? and t2.FTranType=22 "
                     "group by t3.FItemID) t4 "
                     "where t1.FItemID=t4.FItemID"),
                 {minF, maxF, safeF, from, to});
    tx.commit();
}

} // namespace zostore::stocklimit
