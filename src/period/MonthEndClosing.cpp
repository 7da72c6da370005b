// Month-end closing and reopening as the window and the batch command run them.
#include "period/MonthEndClosing.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"

#include <cmath>

namespace zostore::period {

MonthEndClosing::MonthEndClosing(QString cnstr, YearPeriod current)
    : m_cnstr(std::move(cnstr)), m_current(current) {}

bool MonthEndClosing::readGenerateLimitsFlag(const QString &cnstr) {
    db::Connection conn(cnstr);
    const QVariant v = conn.scalar(
        QStringLiteral("select FValue from t_SystemProfile where fkey='GenLimitStockWhenClosePeriod'"));
    return !v.isNull() && db::Recordset::textOf(v) == QStringLiteral("1");
}

StockLimitSettings MonthEndClosing::readStockLimitSettings() const {
    StockLimitSettings s;
    db::Connection conn(m_cnstr);
    db::Recordset rs =
        conn.open(QStringLiteral("select FKey,FValue from t_systemprofile where lower(fkey) in "
                                 "('maxstock','minstock','safestock','stocklimitdays','genstockdisstock')"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString key = rs.text(QStringLiteral("FKey")).toLower();
        const QString value = rs.text(QStringLiteral("FValue"));
        if (key == QStringLiteral("maxstock"))
            s.maxFactor = leadingNumber(value);
        else if (key == QStringLiteral("minstock"))
            s.minFactor = leadingNumber(value);
        else if (key == QStringLiteral("safestock"))
            s.safeFactor = leadingNumber(value);
        else if (key == QStringLiteral("stocklimitdays"))
            s.days = static_cast<int>(std::lround(leadingNumber(value)));
        else if (key == QStringLiteral("genstockdisstock"))
            s.perStore = value == QStringLiteral("1");
    }
    return s;
}

bool MonthEndClosing::hasIssuesWithoutCost() const {
    db::Connection conn(m_cnstr);
    return !conn.scalar(
                    QStringLiteral("select t2.FItemID from ICStockBill t1 Inner Join ICStockbillEntry t2 on "
                                   "t1.FInterID=t2.FInterID inner join t_ICItem t3 ON t2.FItemID=t3.FItemID "
                                   "where t1.FYear=? and t1.FPeriod=? and t1.FTranType in (22,24,25,99,33) "
                                   "and t2.FUnitCost=0 and t2.FPreSend=0"),
                    {m_current.year, m_current.period})
                .isNull();
}

void MonthEndClosing::runClosePeriod(bool autoBill, int userId, const QDate &monthEnd) {
    db::Connection conn(m_cnstr);
    db::ProcArgs args;
    args.add(QStringLiteral("@BillerID"), db::ParamType::Integer, autoBill ? userId : 0)
        .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(monthEnd, QTime(0, 0)));
    conn.callProcedure(QStringLiteral("sp_ClosePeriod"), args, 3000);
}

std::optional<YearPeriod> MonthEndClosing::close(bool regenerateLimits, bool autoBill, int userId,
                                                 const Hooks &hooks) {
    const QDate end = monthEnd(m_current);
    if (regenerateLimits) {
        if (hooks.status)
            hooks.status(QStringLiteral("正在生成库存上下限..."));
        const StockLimitSettings s = readStockLimitSettings();
        if (!hooks.generateStockLimits)
            throw Error(QStringLiteral("库存上下限生成模块未安装（GenMinMaxStock）！"), Error::NotInstalled);
        hooks.generateStockLimits(end.addDays(-s.days), end, s.maxFactor, s.minFactor, s.safeFactor,
                                  s.perStore);
    }
    if (hooks.status)
        hooks.status(QStringLiteral("正在结帐..."));
    if (hasIssuesWithoutCost() && !(hooks.continueDespiteZeroCost && hooks.continueDespiteZeroCost()))
        return std::nullopt;
    runClosePeriod(autoBill, userId, end);
    return nextPeriod(m_current);
}

YearPeriod MonthEndClosing::reopen(const Hooks &hooks) {
    if (hooks.status)
        hooks.status(QStringLiteral("正在反结帐..."));
    db::Connection conn(m_cnstr);
    conn.callProcedure(QStringLiteral("sp_UnClosePeriod"), db::ProcArgs(), 3000);
    return previousPeriod(m_current);
}

} // namespace zostore::period
