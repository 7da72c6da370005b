#include "accountdb/StoreStock.h"

namespace zostore::accountdb {

QString storeStockSql(const QString &lineFilter) {
    return QStringLiteral(
               "select m.FItemID,m.FStockID,sum(m.FQty) as FQty from ("
               "select e.FItemID,b.FInStockID as FStockID,e.FQty from ICStockBill b inner join "
               "ICStockBillEntry e "
               "on b.FInterID=e.FInterID where b.FDeleted=0 and b.FInStockID is not null and (%1) "
               "union all "
               "select e.FItemID,b.FOutStockID,-e.FQty from ICStockBill b inner join ICStockBillEntry e "
               "on b.FInterID=e.FInterID where b.FDeleted=0 and b.FOutStockID is not null and (%1)"
               ") m group by m.FItemID,m.FStockID")
        .arg(lineFilter);
}

QString oneStoreStockSql(const QString &itemFilter) {
    // A transfer within one store moves nothing.
    return QStringLiteral("select e.FItemID,sum(case when b.FInStockID=x.s then e.FQty else -e.FQty end) as FQty "
                          "from (select cast(? as integer) as s) x cross join ICStockBill b inner join "
                          "ICStockBillEntry e on b.FInterID=e.FInterID where b.FDeleted=0 and "
                          "(b.FInStockID=x.s or b.FOutStockID=x.s) and isnull(b.FInStockID,-1)<>isnull(b.FOutStockID,-1) "
                          "and (%1) group by e.FItemID")
        .arg(itemFilter);
}

} // namespace zostore::accountdb
