#include "accountdb/StoreStock.h"

#include "accountdb/StockMovement.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/ScratchTable.h"

namespace zostore::accountdb {

namespace {

// Below these an amount is rounding noise of the stored precision (4 places, 2 for values).
const QString qtyNoise = QStringLiteral("0.00005");
const QString valueNoise = QStringLiteral("0.005");

struct Month {
    int year = 0, period = 0;
    bool valid() const { return year > 0 && period >= 1 && period <= 12; }
};

Month currentMonth(db::Connection &conn) {
    return {readProfile(conn, QStringLiteral("CurrentYear")).toInt(),
            readProfile(conn, QStringLiteral("CurrentPeriod")).toInt()};
}

// The expected ICInventory rows, per store and item.
QString expectedStockSql(const Month &m, QVariantList &params) {
    if (!m.valid())
        return QStringLiteral("select m.FItemID,m.FStockID,sum(m.FQty) as FQty from (%1) m "
                              "group by m.FItemID,m.FStockID")
            .arg(storeMovementLinesSql(QStringLiteral("1=1")));
    params << m.year << m.period << m.year << m.period << m.year << m.period;
    for (int i = 0; i < 2; ++i)
        params << m.year << m.year << m.period;
    return QStringLiteral("select u.FItemID,u.FStockID,sum(u.FQty) as FQty from ("
                          "select o.FItemID,o.FStockID,o.FQty from (%1) o union all "
                          "select m.FItemID,m.FStockID,m.FQty from (%2) m) u group by u.FItemID,u.FStockID")
        .arg(storeOpeningSql(),
             storeMovementLinesSql(QStringLiteral("(t1.FYear>? or (t1.FYear=? and t1.FPeriod>=?))")));
}

} // namespace

QString storeMovementLinesSql(const QString &billCondition) {
    // "cross join" keeps the bills outermost on SQLite, as in the month's movement.
    const QString lines = QStringLiteral(
        "select t2.FItemID,isnull(t1.%1,0) as FStockID,%2 as FQty,%3 as FBal "
        "from ICStockBill t1 cross join ICStockBillEntry t2 "
        "where t1.FInterID=t2.FInterID and (%4) and t1.FDeleted=0 and t1.FTranType in (%5)");
    return lines
               .arg(QStringLiteral("FInStockID"), QStringLiteral("isnull(t2.FQty,0)"),
                    QStringLiteral("case when t1.FTranType=12 then isnull(t2.FAmount,0) "
                                   "else isnull(t2.FCost,0) end"),
                    billCondition, inTypes + QStringLiteral(",31")) +
           QStringLiteral(" union all ") +
           lines.arg(QStringLiteral("FOutStockID"), QStringLiteral("-isnull(t2.FQty,0)"),
                     QStringLiteral("-isnull(t2.FCost,0)"), billCondition, outTypes + QStringLiteral(",31"));
}

// The unsplit remainder is one grouping of both tables: joining icbal to a grouped icstockbal lets
// PostgreSQL, without statistics on a month's new rows, recompute the grouping for every item.
QString storeOpeningSql() {
    return QStringLiteral(
               "select FItemID,FStockID,FBegQty as FQty,FBegBal as FBal from icstockbal "
               "where FYear=? and FPeriod=? union all "
               "select r.FItemID,0,sum(r.FQty),sum(r.FBal) from ("
               "select FItemID,isnull(FBegQty,0) as FQty,isnull(FBegBal,0) as FBal from icbal "
               "where FYear=? and FPeriod=? union all "
               "select FItemID,-isnull(FBegQty,0),-isnull(FBegBal,0) from icstockbal where FYear=? and FPeriod=?) r "
               "group by r.FItemID having abs(sum(r.FQty))>=%1 or abs(sum(r.FBal))>=%2")
        .arg(qtyNoise, valueNoise);
}

void computeStoreEnding(db::Connection &conn, const QString &table, int year, int period) {
    db::createScratchTable(conn, table,
                           QStringLiteral("FItemID integer, FStockID integer, FQty %N, FBal %N, "
                                          "primary key (FItemID, FStockID)"));
    const QString month = QStringLiteral("t1.FYear=? and t1.FPeriod=?");
    const QVariantList openingParams{year, period, year, period, year, period};
    const QVariantList lineParams{year, period, year, period};
    if (conn.isPostgres()) {
        conn.execute(QStringLiteral("insert into %1 (FItemID,FStockID,FQty,FBal) "
                                    "select u.FItemID,u.FStockID,sum(u.FQty),sum(u.FBal) from ("
                                    "select o.FItemID,o.FStockID,o.FQty,o.FBal from (%2) o union all "
                                    "select m.FItemID,m.FStockID,m.FQty,m.FBal from (%3) m) u "
                                    "group by u.FItemID,u.FStockID")
                         .arg(table, storeOpeningSql(), storeMovementLinesSql(month)),
                     openingParams + lineParams);
        return;
    }
    // SQLite groups by sorting every line; adding each line into its keyed row costs half as much.
    const QString addUp = QStringLiteral(" where true on conflict(FItemID,FStockID) do update set "
                                         "FQty=FQty+excluded.FQty, FBal=FBal+excluded.FBal");
    conn.execute(QStringLiteral("insert into %1 (FItemID,FStockID,FQty,FBal) "
                                "select m.FItemID,m.FStockID,m.FQty,m.FBal from (%2) m")
                         .arg(table, storeMovementLinesSql(month)) +
                     addUp,
                 lineParams);
    conn.execute(QStringLiteral("insert into %1 (FItemID,FStockID,FQty,FBal) "
                                "select o.FItemID,o.FStockID,o.FQty,o.FBal from (%2) o")
                         .arg(table, storeOpeningSql()) +
                     addUp,
                 openingParams);
}

void writeStoreOpenings(db::Connection &conn, const QString &table, int year, int period) {
    conn.execute(QStringLiteral("delete from icstockbal where FYear=? and FPeriod=?"), {year, period});
    conn.execute(QStringLiteral("insert into icstockbal (FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
                                "select ?,?,FItemID,FStockID,%1,%2 from %3")
                     .arg(roundSql(QStringLiteral("FQty"), 4), roundSql(QStringLiteral("FBal"), 2), table),
                 {year, period});
    alignStoreOpenings(conn, year, period);
    conn.execute(QStringLiteral("delete from icstockbal where FYear=? and FPeriod=? and abs(FBegQty)<%1 "
                                "and abs(FBegBal)<%2")
                     .arg(qtyNoise, valueNoise),
                 {year, period});
}

void alignStoreOpenings(db::Connection &conn, int year, int period) {
    db::createScratchTable(conn, QStringLiteral("zs_store_align"),
                           QStringLiteral("FItemID integer primary key, FQty %N, FBal %N, FRows integer"));
    conn.execute(
        QStringLiteral("insert into zs_store_align (FItemID,FQty,FBal,FRows) select r.FItemID,%1,%2,sum(r.n) from ("
                       "select FItemID,isnull(FBegQty,0) as FQty,isnull(FBegBal,0) as FBal,0 as n from icbal "
                       "where FYear=? and FPeriod=? union all "
                       "select FItemID,-isnull(FBegQty,0),-isnull(FBegBal,0),1 from icstockbal "
                       "where FYear=? and FPeriod=?) r group by r.FItemID "
                       "having abs(sum(r.FQty))>=%3 or abs(sum(r.FBal))>=%4")
            .arg(roundSql(QStringLiteral("sum(r.FQty)"), 4), roundSql(QStringLiteral("sum(r.FBal)"), 2), qtyNoise,
                 valueNoise),
        {year, period, year, period});
    db::prepareScratchTable(conn, QStringLiteral("zs_store_align"));
    // The largest store takes the rounding difference: there it changes the unit value least.
    conn.execute(
        QStringLiteral(
            "update icstockbal set FBegQty=%1, FBegBal=%2 from zs_store_align a "
            "where a.FItemID=icstockbal.FItemID and a.FRows>0 and icstockbal.FYear=? and icstockbal.FPeriod=? "
            "and icstockbal.FStockID=(select s.FStockID from icstockbal s where s.FYear=? and s.FPeriod=? "
            "and s.FItemID=a.FItemID order by abs(s.FBegBal) desc, abs(s.FBegQty) desc, s.FStockID limit 1)")
            .arg(roundSql(QStringLiteral("icstockbal.FBegQty+a.FQty"), 4),
                 roundSql(QStringLiteral("icstockbal.FBegBal+a.FBal"), 2)),
        {year, period, year, period});
    conn.execute(QStringLiteral("insert into icstockbal (FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
                                "select ?,?,FItemID,0,FQty,FBal from zs_store_align where FRows=0"),
                 {year, period});
    db::dropScratchTable(conn, QStringLiteral("zs_store_align"));
}

void rebuildStoreStock(db::Connection &conn) {
    QVariantList params;
    const QString expected = expectedStockSql(currentMonth(conn), params);
    conn.execute(QStringLiteral("delete from ICInventory"));
    conn.execute(QStringLiteral("insert into ICInventory (FStockID,FItemID,FQty) "
                                "select e.FStockID,e.FItemID,%1 from (%2) e where abs(e.FQty)>=%3")
                     .arg(roundSql(QStringLiteral("e.FQty"), 4), expected, qtyNoise),
                 params);
}

QList<StoreStockDifference> storeStockDifferences(db::Connection &conn) {
    QVariantList params;
    const QString expected = expectedStockSql(currentMonth(conn), params);
    db::Recordset rs = conn.open(
        QStringLiteral("select d.FItemID,d.FStockID,sum(d.k) as kept,sum(d.c) as computed from ("
                       "select FItemID,FStockID,FQty as k,0 as c from ICInventory union all "
                       "select e.FItemID,e.FStockID,0,e.FQty from (%1) e) d group by d.FItemID,d.FStockID "
                       "having abs(sum(d.k)-sum(d.c))>=%2 order by d.FItemID,d.FStockID")
            .arg(expected, qtyNoise),
        params);
    QList<StoreStockDifference> out;
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FStockID")),
                    rs.toDouble(QStringLiteral("kept")), rs.toDouble(QStringLiteral("computed"))});
    return out;
}

} // namespace zostore::accountdb
