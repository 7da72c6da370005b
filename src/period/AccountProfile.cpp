// Profile values of the account set that closing and costing read and write.
#include "period/AccountProfile.h"

#include "db/Connection.h"
#include "db/Error.h"

#include <cmath>

namespace zostore::period {

std::optional<QString> profileValue(db::Connection &conn, const QString &key) {
    db::Recordset rs =
        conn.open(QStringLiteral("select FValue from t_systemprofile where lower(FKey)=?"), {key.toLower()});
    if (rs.eof())
        return std::nullopt;
    return rs.text(QStringLiteral("FValue"));
}

static int profileInt(db::Connection &conn, const QString &key, bool *found) {
    const auto v = profileValue(conn, key);
    *found = v.has_value() && !v->trimmed().isEmpty();
    return v ? static_cast<int>(std::lround(leadingNumber(*v))) : 0;
}

YearPeriod storedCurrentPeriod(db::Connection &conn) {
    bool hasYear = false;
    bool hasPeriod = false;
    YearPeriod p{profileInt(conn, QStringLiteral("CurrentYear"), &hasYear),
                 profileInt(conn, QStringLiteral("CurrentPeriod"), &hasPeriod)};
    if (!hasYear || !hasPeriod || p.year < 1 || p.period < 1 || p.period > 12)
        throw Error(QStringLiteral("帐套当前月份未设置或无效，请先到参数设置中检查“帐套当前月份”！"));
    return p;
}

YearPeriod storedStartPeriod(db::Connection &conn) {
    bool found = false;
    return {profileInt(conn, QStringLiteral("StartYear"), &found),
            profileInt(conn, QStringLiteral("StartPeriod"), &found)};
}

void writeStoredCurrentPeriod(db::Connection &conn, YearPeriod p) {
    conn.execute(QStringLiteral("update t_systemprofile set FValue=? where lower(FKey)='currentyear'"),
                 {QString::number(p.year)});
    conn.execute(QStringLiteral("update t_systemprofile set FValue=? where lower(FKey)='currentperiod'"),
                 {QString::number(p.period)});
}

void writeStoredStartPeriod(db::Connection &conn, YearPeriod p) {
    for (const auto &[key, value] : {std::pair{QStringLiteral("StartYear"), p.year},
                                     std::pair{QStringLiteral("StartPeriod"), p.period}}) {
        if (conn.execute(QStringLiteral("update t_systemprofile set FValue=? where lower(FKey)=?"),
                         {QString::number(value), key.toLower()}) == 0)
            conn.execute(
                QStringLiteral("insert into t_systemprofile (FKey,FValue,FDescription) values (?,?,'')"),
                {key, QString::number(value)});
    }
}

} // namespace zostore::period
