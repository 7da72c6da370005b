// Cost calculation of the current month by the account's cost style, and the hand correction of one entry.
#include "period/CostCalculation.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/ScratchTable.h"
#include "db/Transaction.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"

#include <cmath>

namespace zostore::period {

namespace {

const QString billTypesOfMonth = QStringLiteral("22,24,25,31,99,15,16,26,14");

// Latest purchase price, set-based. Between two consecutive receipt dates every item's latest receipt
// stays the same, so on SQLite the month is costed span by span: zs_lastprice holds each item's latest
// receipt line dated on or before the span's start, the span's bills take its prices in one statement (a key
// lookup per line, no sort of the month's lines), and the receipts dated at the next span's start are
// merged in. Spans follow the receipt dates inside the month, about one a day.
//
// The latest receipt of an item is the type-12 bill with the highest FInterID; when it holds the item on
// several lines, the line with the highest FEntryID wins, the last price written on it. FKey packs both
// numbers into one (FEntryID below 2^31), so that one max() finds them. Deleted receipts count, as they
// always have; bills without a date, or items without such a receipt, keep their cost.
const QString latestReceiptsSql = QStringLiteral(
    "insert into zs_lastprice (FItemID,FKey,FPrice) select k.FItemID, k.FKey, e.FPrice from ("
    "select t2.FItemID, max(cast(t2.FInterID as bigint)*2147483648+t2.FEntryID) as FKey "
    "from ICStockBill t1 inner join ICStockBillEntry t2 on t1.FInterID=t2.FInterID "
    "where t1.FTranType=12 and t1.FDate<=? group by t2.FItemID) k inner join ICStockBillEntry e "
    "on e.FInterID=k.FKey/2147483648 and e.FEntryID=k.FKey-(k.FKey/2147483648)*2147483648");
// The month's receipt lines, read once rather than looked up again in the bill tables for every span.
const QString monthReceiptsSql = QStringLiteral(
    "insert into zs_receipts (FKey,FItemID,FDate,FPrice) select cast(t2.FInterID as bigint)*2147483648+"
    "t2.FEntryID, t2.FItemID, t1.FDate, t2.FPrice from ICStockBill t1 inner join ICStockBillEntry t2 "
    "on t1.FInterID=t2.FInterID where t1.FTranType=12 and t1.FDate>? and t1.FDate<=?");
const QString mergeReceiptsSql = QStringLiteral(
    "insert into zs_lastprice (FItemID,FKey,FPrice) select r.FItemID, r.FKey, r.FPrice from zs_receipts r "
    "inner join (select FItemID, max(FKey) as FKey from zs_receipts where FDate>? and FDate<=? "
    "group by FItemID) k on r.FKey=k.FKey where 1=1 on conflict (FItemID) do update set FKey=excluded.FKey, "
    "FPrice=excluded.FPrice where excluded.FKey>zs_lastprice.FKey");
// Entries that already hold the result are left alone: rewriting a row costs far more than comparing it.
// Bills valued at cost take their price in the same write, so that no line is written twice.
const QString spanUpdateSql = QStringLiteral(
    "update ICStockBillEntry set FUnitCost=c.FPrice, FCost=ICStockBillEntry.FQty*c.FPrice, "
    "FPrice=case when t1.FTranType in (15,25,31) then c.FPrice else ICStockBillEntry.FPrice end, "
    "FAmount=case when t1.FTranType in (15,25,31) then ICStockBillEntry.FQty*c.FPrice "
    "else ICStockBillEntry.FAmount end "
    "from ICStockBill t1, %3 c where t1.FInterID=ICStockBillEntry.FInterID and t1.FYear=? "
    "and t1.FPeriod=? and t1.FTranType in (%1) and %2 and c.FItemID=ICStockBillEntry.FItemID "
    "and (ICStockBillEntry.FUnitCost is distinct from c.FPrice "
    "or ICStockBillEntry.FCost is distinct from ICStockBillEntry.FQty*c.FPrice)");

// PostgreSQL joins by hash: there every item's prices over the month become date ranges, and one statement
// reads the month's lines once, instead of a nested lookup of each span's lines (measured 1.5x slower).
// A range starts at a receipt date and holds the highest receipt key dated on or before it.
const QString priceRangesSql =
    QStringLiteral("insert into zs_pricerange (FItemID,FFrom,FTo,FPrice) select m.FItemID, m.FDate, m.FTo, "
                   "coalesce(r.FPrice, l.FPrice) from ("
                   "select FItemID, FDate, max(FKey) over (partition by FItemID order by FDate) as FKey, "
                   "lead(FDate) over (partition by FItemID order by FDate) as FTo from ("
                   "select FItemID, cast(? as timestamp) as FDate, FKey from zs_lastprice union all "
                   "select FItemID, FDate, max(FKey) from zs_receipts group by FItemID, FDate) d) m "
                   "left join zs_receipts r on r.FKey=m.FKey left join zs_lastprice l on l.FItemID=m.FItemID "
                   "and l.FKey=m.FKey");

} // namespace

CostCalculation::CostCalculation(QString cnstr, YearPeriod period)
    : m_cnstr(std::move(cnstr)), m_period(period) {}

int CostCalculation::readCostStyle(const QString &cnstr) {
    db::Connection conn(cnstr);
    const auto v = profileValue(conn, QStringLiteral("CostStyle"));
    return v ? static_cast<int>(std::lround(leadingNumber(*v))) : 0;
}

CostCalculation::Outcome CostCalculation::run(int costStyle) {
    switch (costStyle) {
    case 1:
        lastPurchasePrice();
        return Outcome::Done;
    case 2:
        weightedAverage();
        return Outcome::Done;
    case 3:
        return priceStyleCost();
    default:
        return Outcome::Done;
    }
}

void CostCalculation::valueAtCost(db::Connection &conn, bool zeroWhenNoAmount) {
    conn.execute(
        QStringLiteral("update ICStockBillEntry set FPrice=FUnitCost, FAmount=FCost from ICStockBill t1 "
                       "where t1.FInterID=ICStockBillEntry.FInterID and t1.FYear=? and t1.FPeriod=? "
                       "and t1.FTranType in (15,25,31) and (ICStockBillEntry.FPrice is distinct from "
                       "ICStockBillEntry.FUnitCost or ICStockBillEntry.FAmount is distinct from "
                       "ICStockBillEntry.FCost)"),
        {m_period.year, m_period.period});
    passStep(QStringLiteral("cost.valued"));
    const QString sum =
        zeroWhenNoAmount ? QStringLiteral("isnull(sum(e.FAmount),0)") : QStringLiteral("sum(e.FAmount)");
    // Summed once per bill of the month instead of once per bill through a correlated subquery.
    conn.execute(
        QStringLiteral("update ICStockBill set FSumAmount=s.FSumAmount from (select e.FInterID, %1 as "
                       "FSumAmount from ICStockBill b inner join ICStockBillEntry e on b.FInterID=e.FInterID "
                       "where b.FTranType in (15,25,31) and b.FYear=? and b.FPeriod=? group by e.FInterID) s "
                       "where ICStockBill.FInterID=s.FInterID "
                       "and ICStockBill.FSumAmount is distinct from s.FSumAmount")
            .arg(sum),
        {m_period.year, m_period.period});
}

// The month may have been closed from another workstation while this one waited for the lock.
void CostCalculation::checkStillCurrent(db::Connection &conn) const {
    const YearPeriod stored = storedCurrentPeriod(conn);
    if (stored.index() != m_period.index())
        throw Error(QStringLiteral("帐套当前月份已是%1年%2月，可能已在其他电脑上结账，请重新登录后再试！")
                        .arg(stored.year)
                        .arg(stored.period));
}

void CostCalculation::lastPurchasePrice() {
    db::Connection conn(m_cnstr);
    db::Transaction t(conn, db::Transaction::Lock::Books);
    checkStillCurrent(conn);
    const QVariantList month{m_period.year, m_period.period};
    QVariant first, last;
    {
        db::Recordset rs =
            conn.open(QStringLiteral("select min(FDate) as FFirst, max(FDate) as FLast from "
                                     "ICStockBill where FTranType in (%1) and FYear=? and FPeriod=?")
                          .arg(billTypesOfMonth),
                      month);
        first = rs.value(QStringLiteral("FFirst"));
        last = rs.value(QStringLiteral("FLast"));
    }
    if (!first.isNull()) {
        createScratchTable(conn, QStringLiteral("zs_lastprice"),
                           QStringLiteral("FItemID integer primary key, FKey bigint, FPrice %N"));
        createScratchTable(
            conn, QStringLiteral("zs_receipts"),
            QStringLiteral("FKey bigint primary key, FItemID integer, FDate timestamp, FPrice %N"));
        conn.execute(latestReceiptsSql, {first});
        // The month's receipts are a small part of its lines: reached bill by bill through the key rather
        // than by hashing every line, the tables being in memory at a month's end.
        if (conn.isPostgres())
            conn.execute(QStringLiteral("set local random_page_cost=1.1"));
        conn.execute(monthReceiptsSql, {first, last});
        if (conn.isPostgres())
            costByPriceRanges(conn, first);
        else
            costSpanBySpan(conn, first);
        dropScratchTable(conn, QStringLiteral("zs_receipts"));
        dropScratchTable(conn, QStringLiteral("zs_lastprice"));
    }
    passStep(QStringLiteral("cost.entries"));
    valueAtCost(conn, true);
    t.commit();
}

void CostCalculation::costSpanBySpan(db::Connection &conn, const QVariant &first) {
    conn.execute(QStringLiteral("create index zs_receipts_date on zs_receipts (FDate)"));
    prepareScratchTable(conn, QStringLiteral("zs_receipts"));
    QVariantList starts;
    for (db::Recordset rs =
             conn.open(QStringLiteral("select distinct FDate from zs_receipts order by FDate"));
         !rs.eof(); rs.moveNext())
        starts << rs.value(0);
    const QString span = spanUpdateSql.arg(billTypesOfMonth, QStringLiteral("t1.FDate>=? and t1.FDate<?"),
                                           QStringLiteral("zs_lastprice"));
    QVariant from = first;
    for (const QVariant &next : std::as_const(starts)) {
        conn.execute(span, {m_period.year, m_period.period, from, next});
        conn.execute(mergeReceiptsSql, {from, next});
        from = next;
    }
    conn.execute(
        spanUpdateSql.arg(billTypesOfMonth, QStringLiteral("t1.FDate>=?"), QStringLiteral("zs_lastprice")),
        {m_period.year, m_period.period, from});
}

void CostCalculation::costByPriceRanges(db::Connection &conn, const QVariant &first) {
    createScratchTable(conn, QStringLiteral("zs_pricerange"),
                       QStringLiteral("FItemID integer, FFrom timestamp, FTo timestamp, FPrice %N"));
    conn.execute(priceRangesSql, {first});
    prepareScratchTable(conn, QStringLiteral("zs_pricerange"));
    // The month's lines and the ranges are hashed in memory rather than spilled to disk in batches.
    conn.execute(QStringLiteral("set local work_mem='64MB'"));
    conn.execute(spanUpdateSql.arg(billTypesOfMonth,
                                   QStringLiteral("c.FFrom<=t1.FDate and (c.FTo is null or t1.FDate<c.FTo)"),
                                   QStringLiteral("zs_pricerange")),
                 {m_period.year, m_period.period});
    dropScratchTable(conn, QStringLiteral("zs_pricerange"));
}

void CostCalculation::weightedAverage() {
    db::Connection conn(m_cnstr);
    conn.callProcedure(QStringLiteral("sp_CacuCost"), db::ProcArgs(), 3000);
}

CostCalculation::Outcome CostCalculation::priceStyleCost() {
    db::Connection conn(m_cnstr);
    const QVariant styleId = conn.scalar(QStringLiteral(
        "select t1.FItemID from t_pricestyle t1 inner join t_systemprofile t2 on t1.FName=t2.FValue "
        "where lower(t2.FKey)='coststyle_pricename'"));
    if (styleId.isNull())
        return Outcome::NoPriceStyle;
    // The column name comes from the price style's key, an integer read from the database.
    const QString column = QStringLiteral("FPrice_%1").arg(styleId.toLongLong());
    db::Transaction t(conn, db::Transaction::Lock::Books);
    checkStillCurrent(conn);
    conn.execute(
        QStringLiteral("update ICStockBillEntry set FUnitCost=t3.%1, FCost=ICStockBillEntry.FQty*t3.%1 "
                       "from ICStockBill t1, t_icitem t3 where t1.FInterID=ICStockBillEntry.FInterID "
                       "and t3.FItemID=ICStockBillEntry.FItemID and t1.FYear=? and t1.FPeriod=? "
                       "and t1.FTranType in (%2)")
            .arg(column, billTypesOfMonth),
        {m_period.year, m_period.period});
    passStep(QStringLiteral("cost.entries"));
    valueAtCost(conn, false);
    t.commit();
    return Outcome::Done;
}

bool CostCalculation::isValuedAtCost(const QString &tranTypeText) {
    return tranTypeText == QStringLiteral("其他入库单") || tranTypeText == QStringLiteral("其他出库单") ||
           tranTypeText == QStringLiteral("仓库调拨单");
}

void CostCalculation::correctUnitCost(qint64 interId, int entryId, double unitCost, bool valuedAtCost) {
    if (!std::isfinite(unitCost))
        throw Error(QStringLiteral("单位成本必须是数字！"));
    db::Connection conn(m_cnstr);
    db::Transaction t(conn);
    conn.execute(QStringLiteral(
                     "update icstockbillentry set FUnitCost=?, FCost=FQty*? where FInterID=? and FEntryID=?"),
                 {unitCost, unitCost, interId, entryId});
    if (valuedAtCost)
        conn.execute(
            QStringLiteral(
                "update icstockbillentry set FPrice=?, FAmount=FQty*? where FInterID=? and FEntryID=?"),
            {unitCost, unitCost, interId, entryId});
    t.commit();
}

} // namespace zostore::period
