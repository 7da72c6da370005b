// Reference for the latest-purchase-price costing: one statement per bill.
#include "LastPriceLoop.h"

#include "db/Connection.h"
#include "db/Transaction.h"

#include <vector>

namespace zostore::test {

QString lastPriceByBillSql() {
    return QStringLiteral(
        "update ICStockBillEntry set FUnitCost=c.FPrice, FCost=ICStockBillEntry.FQty*c.FPrice from ("
        "select k.FPrice, k.FItemID from icstockbillentry k inner join "
        "(select t2.fitemid, max(t2.finterid) as FInterID from icstockbill t1 inner join icstockbillentry t2 "
        "on t1.finterid=t2.finterid where t1.ftrantype=12 and t1.Fdate<=? group by t2.fitemid) j "
        "on k.FInterID=j.FInterID and k.FItemID=j.FItemID "
        "where k.FEntryID=(select max(k2.FEntryID) from icstockbillentry k2 where k2.FInterID=k.FInterID "
        "and k2.FItemID=k.FItemID)) c where ICStockBillEntry.FItemID=c.FItemID and ICStockBillEntry.FInterID=?");
}

int lastPurchasePriceByBill(db::Connection &conn, int year, int period) {
    std::vector<std::pair<QVariant, QVariant>> bills;
    {
        db::Recordset rs = conn.open(QStringLiteral("select FDate,FInterID from icstockbill where ftrantype in "
                                                    "(22,24,25,31,99,15,16,26,14) and FYear=? and FPeriod=?"),
                                     {year, period});
        for (; !rs.eof(); rs.moveNext())
            bills.emplace_back(rs.value(QStringLiteral("FDate")), rs.value(QStringLiteral("FInterID")));
    }
    db::Transaction t(conn);
    auto stmt = conn.prepare(lastPriceByBillSql());
    for (const auto &[date, interId] : bills)
        if (!date.isNull())
            stmt.exec({date, interId});
    conn.execute(QStringLiteral("update ICStockBillEntry set FPrice=FUnitCost, FAmount=FCost where FInterID in "
                                "(select FInterID from ICStockBill where FYear=? and FPeriod=? and FTranType in "
                                "(15,25,31))"),
                 {year, period});
    conn.execute(QStringLiteral("update ICStockBill set FSumAmount=(select isnull(sum(e.FAmount),0) from "
                                "ICStockBillEntry e where e.FInterID=ICStockBill.FInterID) where FTranType in "
                                "(15,25,31) and FYear=? and FPeriod=? and exists (select 1 from ICStockBillEntry e "
                                "where e.FInterID=ICStockBill.FInterID)"),
                 {year, period});
    t.commit();
    return static_cast<int>(bills.size());
}

} // namespace zostore::test
