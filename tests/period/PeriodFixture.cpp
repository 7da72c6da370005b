// An empty account set on either backend with the helpers the period tests share.
#include "PeriodFixture.h"

#include "accountdb/Schema.h"
#include "period/PeriodProcedures.h"
#include "period/ProcedureSteps.h"

#include <cmath>

namespace zostore::test {

void PeriodFixture::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    period::registerPeriodProcedures();
    m_conn.emplace(cnstr());
    prepareAccount(*m_conn);
}

void PeriodFixture::prepareAccount(db::Connection &c) {
    accountdb::createAccountSchema(c, {1, 2});
    c.execute(QStringLiteral("insert into t_PriceStyle (FItemID,FNumber,FName) values (1,'01','零售价'),"
                             "(2,'02','会员价')"));
    for (const auto &[key, value] : {std::pair{"CurrentYear", "2024"}, std::pair{"CurrentPeriod", "1"},
                                     std::pair{"StartYear", "2020"}, std::pair{"StartPeriod", "1"}}) {
        c.execute(QStringLiteral("delete from t_systemprofile where lower(FKey)=?"), {QString::fromLatin1(key).toLower()});
        c.execute(QStringLiteral("insert into t_systemprofile (FKey,FValue,FDescription) values (?,?,'')"),
                  {QString::fromLatin1(key), QString::fromLatin1(value)});
    }
}

void PeriodFixture::TearDown() {
    period::setStepObserver({});
    m_target = nullptr;
    m_conn.reset();
    BackendTest::TearDown();
}

void PeriodFixture::setProfile(const QString &key, const QString &value) {
    conn().execute(QStringLiteral("delete from t_systemprofile where lower(FKey)=?"), {key.toLower()});
    conn().execute(QStringLiteral("insert into t_systemprofile (FKey,FValue,FDescription) values (?,?,'')"),
                    {key, value});
}

void PeriodFixture::setCurrent(int year, int period, int startYear, int startPeriod) {
    setProfile(QStringLiteral("CurrentYear"), QString::number(year));
    setProfile(QStringLiteral("CurrentPeriod"), QString::number(period));
    setProfile(QStringLiteral("StartYear"), QString::number(startYear));
    setProfile(QStringLiteral("StartPeriod"), QString::number(startPeriod));
}

void PeriodFixture::addItem(int id, const QString &number, const QString &name) {
    conn().execute(QStringLiteral("insert into t_ICItem (FItemID,FNumber,FName,FDel,FPurPrice,FPjCost,FPrice_1,"
                                   "FPrice_2) values (?,?,?,0,0,0,?,?)"),
                    {id, number, name.isEmpty() ? QStringLiteral("商品") + number : name, id * 1.5, id * 1.25});
}

void PeriodFixture::addBalance(int itemId, int year, int period, double qty, double bal) {
    conn().execute(QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                                   "values (?,?,?,?,?,?)"),
                    {itemId, year, period, qty, qty != 0 ? bal / qty : 0.0, bal});
}

int PeriodFixture::addBill(int interId, int tranType, const QDate &date, const std::vector<Line> &lines, int deleted) {
    conn().execute(QStringLiteral("insert into ICStockBill (FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,"
                                   "FSumAmount) values (?,?,?,?,?,?,?,0)"),
                    {interId, QStringLiteral("B%1").arg(interId), QDateTime(date, QTime(0, 0)), date.year(),
                     date.month(), tranType, deleted});
    int entry = 0;
    for (const Line &l : lines)
        conn().execute(QStringLiteral("insert into ICStockBillEntry (FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                                       "FAmount,FUnitCost,FCost,FPreSend) values (?,?,?,?,0,?,?,?,?,?)"),
                        {interId, ++entry, l.itemId, l.qty, l.price, l.amount, l.unitCost, l.cost, l.preSend});
    return interId;
}

double PeriodFixture::entryField(int interId, int entryId, const QString &field) {
    return conn()
        .scalar(QStringLiteral("select %1 from ICStockBillEntry where FInterID=? and FEntryID=?").arg(field),
                 {interId, entryId})
        .toDouble();
}

QStringList PeriodFixture::dump(const QString &table) {
    db::Recordset rs = conn().open(QStringLiteral("select * from %1").arg(table));
    QStringList rows;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const QVariant v = rs.value(i);
            bool isNumber = false;
            const double d = v.toDouble(&isNumber);
            if (v.isNull())
                cells << QStringLiteral("<null>");
            else if (isNumber && v.typeId() != QMetaType::QString)
                cells << QString::number(std::round(d * 10000) / 10000, 'f', 4);
            else
                cells << db::Recordset::textOf(v);
        }
        rows << cells.join(u'|');
    }
    rows.sort();
    return rows;
}

QMap<QString, QStringList> PeriodFixture::dumpAll() {
    QMap<QString, QStringList> all;
    for (const QString &t : {QStringLiteral("icbal"), QStringLiteral("ICStockBill"), QStringLiteral("ICStockBillEntry"),
                             QStringLiteral("t_systemprofile"), QStringLiteral("t_ICItem")})
        all.insert(t, dump(t));
    return all;
}

} // namespace zostore::test
