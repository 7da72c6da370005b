// Reading and saving the system profile and the member-points tables.
#include "params/SystemParameters.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "params/ProfileKeys.h"
#include "stocklimit/NumberText.h"

namespace zostore::params {

using stocklimit::leadingNumber;

QList<QPair<QString, QString>> SystemParameters::loadProfile(db::Connection &conn) {
    QList<QPair<QString, QString>> rows;
    for (db::Recordset rs = conn.open(QStringLiteral("select * from t_systemprofile order by FKey desc")); !rs.eof();
         rs.moveNext())
        rows.append({rs.text(QStringLiteral("FKey")), rs.text(QStringLiteral("FValue"))});
    return rows;
}

QStringList SystemParameters::priceStyleNames(db::Connection &conn) {
    QStringList names;
    for (db::Recordset rs = conn.open(QStringLiteral("select FName from t_PriceStyle order by FNumber")); !rs.eof();
         rs.moveNext())
        names.append(rs.text(QStringLiteral("FName")));
    return names;
}

QList<JfRateRow> SystemParameters::loadJfRates(db::Connection &conn) {
    QList<JfRateRow> rows;
    for (db::Recordset rs = conn.open(QStringLiteral("select * from VipJfRate order by FFromDate")); !rs.eof();
         rs.moveNext())
        rows.append({rs.text(QStringLiteral("FFromDate")), rs.text(QStringLiteral("FToDate")),
                     stocklimit::plainNumber(rs.value(QStringLiteral("FJfRate")))});
    return rows;
}

QList<JfAmountRow> SystemParameters::loadJfAmounts(db::Connection &conn) {
    QList<JfAmountRow> rows;
    for (db::Recordset rs = conn.open(QStringLiteral("select * from VipJfToAmount order by FJf")); !rs.eof();
         rs.moveNext())
        rows.append({stocklimit::plainNumber(rs.value(QStringLiteral("FJf"))),
                     stocklimit::plainNumber(rs.value(QStringLiteral("FAmount")))});
    return rows;
}

QDate SystemParameters::gridDate(const QString &text) {
    const QString t = text.trimmed();
    for (const QString &f : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy/M/d"),
                             QStringLiteral("yyyy-MM-dd HH:mm:ss")}) {
        const QDateTime dt = QDateTime::fromString(t, f);
        if (dt.isValid())
            return dt.date();
    }
    return {};
}

namespace {
// A null text binds as NULL; these columns take empty text, as readers of the profile expect.
QString text(const QString &s) {
    return s.isNull() ? QStringLiteral("") : s;
}
} // namespace

void SystemParameters::save(db::Connection &conn, const ParameterSet &set, const QDateTime &now) {
    db::Transaction tx(conn);
    auto remove = conn.prepare(QStringLiteral("delete from t_systemprofile where lower(FKey)=lower(?)"));
    auto insert = conn.prepare(
        QStringLiteral("insert into t_systemprofile(FKey,FValue,FDescription,FEditTime) values(?,?,?,?)"));
    for (const ProfileWrite &w : set.keys) {
        remove.exec({w.key});
        insert.exec({w.key, text(w.value), text(w.description), now});
    }

    conn.execute(QStringLiteral("delete from t_systemprofile where lower(FKey) in (lower(?),lower(?))"),
                 {CostStylePriceNameKey, CardTypeKey});
    auto insertList =
        conn.prepare(QStringLiteral("insert into t_systemprofile(FKey,FValue,FDescription) values(?,?,?)"));
    insertList.exec({CostStylePriceNameKey, text(set.costStylePriceName), CostStylePriceNameDescription});
    insertList.exec({CardTypeKey, text(set.cardType), CardTypeDescription});

    conn.execute(QStringLiteral("delete from VipJfRate"));
    auto rate = conn.prepare(QStringLiteral("insert into VipJfRate(FFromDate,FToDate,FJfRate) values(?,?,?)"));
    for (const JfRateRow &r : set.rates) {
        const QDate from = gridDate(r.from);
        const QDate to = gridDate(r.to);
        const double value = leadingNumber(r.rate);
        if (from.isValid() && to.isValid() && value > 0)
            rate.exec({from, to, value});
    }

    conn.execute(QStringLiteral("delete from VipJfToAmount"));
    auto amount = conn.prepare(QStringLiteral("insert into VipJfToAmount(FJf,FAmount) values(?,?)"));
    for (const JfAmountRow &r : set.amounts) {
        const double points = leadingNumber(r.points);
        if (points > 0)
            amount.exec({points, leadingNumber(r.amount)});
    }
    tx.commit();
}

void SystemParameters::recomputeOpeningAmounts(db::Connection &conn, int year, int period) {
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("update icbal as t1 set FBegPrice=t2.FPurPrice,FBegBal=t1.FBegQty*t2.FPurPrice "
                                "from t_icitem t2 where t1.FItemID=t2.FItemID and t1.FYear=? and t1.FPeriod=?"),
                 {year, period});
    conn.execute(QStringLiteral("update icstockbal as t1 set FBegBal=t1.FBegQty*t2.FPurPrice "
                                "from t_icitem t2 where t1.FItemID=t2.FItemID and t1.FYear=? and t1.FPeriod=?"),
                 {year, period});
    conn.execute(QStringLiteral("update t_icitem set FPjCost=FPurPrice"));
    tx.commit();
}

} // namespace zostore::params
