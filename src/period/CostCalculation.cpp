// Cost calculation of the current month by the account's cost style, and the hand correction of one entry.
#include "period/CostCalculation.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/Transaction.h"
#include "period/AccountProfile.h"
#include "period/ProcedureSteps.h"
#include "db/ScratchTable.h"

#include <cmath>

namespace zostore::period {

namespace {

const QString billTypesOfMonth = QStringLiteral("22,24,25,31,99,15,16,26,14");

// Latest purchase price, set-based. For every (bill, item) of the month the receipt is the type-12 bill
// with the highest FInterID dated on or before the bill's date; a running maximum over receipts and
// bills of one item in date order finds it (receipts sort before bills of the same date, since "on
// or before" includes that date). When the receipt holds the item on several lines, the line with
// the highest FEntryID wins, the last price written on the receipt. Bills without a date, or items
// without such a receipt, keep their cost.
const QString receiptPriceSql = QStringLiteral(
    "insert into zs_receiptprice (FInterID,FItemID,FDate,FPrice) "
    "select x.FInterID, x.FItemID, x.FDate, x.FPrice from (select t2.FInterID, t2.FItemID, t1.FDate, "
    "t2.FPrice, "
    "row_number() over (partition by t2.FInterID, t2.FItemID order by t2.FEntryID desc) as LineNo "
    "from ICStockBill t1 inner join ICStockBillEntry t2 on t1.FInterID=t2.FInterID "
    "where t1.FTranType=12 and t1.FDate is not null) x where x.LineNo=1");
// Rows leave in bill order so that the update below walks the entries front to back.
const QString lastPriceSql = QStringLiteral(
    "insert into zs_lastprice (FInterID,FItemID,FPrice) "
    "select w.FInterID, w.FItemID, r.FPrice from ("
    "select u.FInterID, u.FItemID, u.Kind, max(case when u.Kind=0 then u.FInterID end) over "
    "(partition by u.FItemID order by u.FDate, u.Kind rows unbounded preceding) as RecID from ("
    "select FInterID, FItemID, FDate, 0 as Kind from zs_receiptprice "
    "union all "
    "select t2.FInterID, t2.FItemID, t1.FDate, 1 as Kind from ICStockBill t1 inner join "
    "ICStockBillEntry t2 on t1.FInterID=t2.FInterID where t1.FTranType in (22,24,25,31,99,15,16,26,14) "
    "and t1.FYear=? and t1.FPeriod=? and t1.FDate is not null) u) w "
    "inner join zs_receiptprice r on r.FInterID=w.RecID and r.FItemID=w.FItemID where w.Kind=1 "
    "order by w.FInterID");
// Entries that already hold the result are left alone: rewriting a row costs far more than comparing it.
const QString lastPriceUpdateSql = QStringLiteral(
    "update ICStockBillEntry set FUnitCost=c.FPrice, FCost=ICStockBillEntry.FQty*c.FPrice "
    "from zs_lastprice c where ICStockBillEntry.FInterID=c.FInterID and ICStockBillEntry.FItemID=c.FItemID "
    "and (ICStockBillEntry.FUnitCost is distinct from c.FPrice "
    "or ICStockBillEntry.FCost is distinct from ICStockBillEntry.FQty*c.FPrice)");

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
    createScratchTable(conn, QStringLiteral("zs_receiptprice"),
                       QStringLiteral("FInterID integer, FItemID integer, FDate timestamp, FPrice %N, "
                                      "primary key (FInterID, FItemID)"));
    createScratchTable(conn, QStringLiteral("zs_lastprice"),
                       QStringLiteral("FInterID integer, FItemID integer, FPrice %N"));
    conn.execute(receiptPriceSql);
    prepareScratchTable(conn, QStringLiteral("zs_receiptprice"));
    // A bill listing an item twice gives two equal rows; either serves the update.
    conn.execute(lastPriceSql, {m_period.year, m_period.period});
    conn.execute(QStringLiteral("create index zs_lastprice_key on zs_lastprice (FInterID, FItemID)"));
    prepareScratchTable(conn, QStringLiteral("zs_lastprice"));
    conn.execute(lastPriceUpdateSql);
    dropScratchTable(conn, QStringLiteral("zs_receiptprice"));
    dropScratchTable(conn, QStringLiteral("zs_lastprice"));
    passStep(QStringLiteral("cost.entries"));
    valueAtCost(conn, true);
    t.commit();
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
