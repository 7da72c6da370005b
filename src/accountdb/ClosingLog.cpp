// Which months were closed, kept with the closing's undo records.
#include "accountdb/ClosingLog.h"

#include "db/Connection.h"

namespace zostore::accountdb {

void markMonthClosed(db::Connection &conn, int year, int period) {
    conn.execute(QStringLiteral("insert into t_ClosePeriodLog (FYear,FPeriod,FInterID) values (?,?,0)"), {year, period});
}

void markMonthsClosed(db::Connection &conn, const QDate &first, const QDate &current) {
    for (QDate m(first.year(), first.month(), 1); m < QDate(current.year(), current.month(), 1); m = m.addMonths(1))
        markMonthClosed(conn, m.year(), m.month());
}

bool isMonthClosed(db::Connection &conn, int year, int period) {
    return conn.scalar(QStringLiteral("select count(*) from t_ClosePeriodLog where FYear=? and FPeriod=? and FInterID=0"),
                       {year, period})
               .toInt() > 0;
}

} // namespace zostore::accountdb
