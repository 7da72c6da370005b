// How each bill type moves an item's stock quantity and value.
#include "accountdb/StockMovement.h"

namespace zostore::accountdb {

QString movementQtySql() {
    return QStringLiteral("case when t1.FTranType in (%1) then isnull(t2.FQty,0) "
                          "when t1.FTranType in (%2) then -isnull(t2.FQty,0) else 0 end")
        .arg(inTypes, outTypes);
}

QString movementValueSql() {
    return QStringLiteral("case when t1.FTranType=12 then isnull(t2.FAmount,0) "
                          "when t1.FTranType in (%1) then isnull(t2.FCost,0) "
                          "when t1.FTranType in (%2) then -isnull(t2.FCost,0) else 0 end")
        .arg(inTypes, outTypes);
}

QString monthMovementLinesSql() {
    // "cross join" keeps the month's bills outermost on SQLite: grouping along the entries' item index
    // instead visits the whole entry table in item order, one random page read per line.
    return QStringLiteral("select t2.FItemID,%1 as FQty,%2 as FBal "
                          "from ICStockBill t1 cross join ICStockBillEntry t2 "
                          "where t1.FInterID=t2.FInterID and t1.FYear=? and t1.FPeriod=? and t1.FDeleted=0")
        .arg(movementQtySql(), movementValueSql());
}

QString monthMovementSql() {
    return QStringLiteral(
               "select m.FItemID, sum(m.FQty) as FQty, sum(m.FBal) as FBal from (%1) m group by m.FItemID")
        .arg(monthMovementLinesSql());
}

QString roundSql(const QString &expr, int decimals) {
    return QStringLiteral("round(cast((%1) as numeric),%2)").arg(expr).arg(decimals);
}

} // namespace zostore::accountdb
