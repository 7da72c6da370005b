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

} // namespace zostore::accountdb
