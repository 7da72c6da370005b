#include "modules/init/InitState.h"

#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"

namespace zostore::modules::init {

namespace {

int profileInt(db::Connection &conn, const char *key) {
    return accountdb::readProfile(conn, QString::fromLatin1(key)).trimmed().toInt();
}

} // namespace

InitState InitState::read(db::Connection &conn) {
    InitState s;
    s.startYear = profileInt(conn, "StartYear");
    s.startPeriod = profileInt(conn, "StartPeriod");
    s.currentYear = profileInt(conn, "CurrentYear");
    s.currentPeriod = profileInt(conn, "CurrentPeriod");
    s.closed = accountdb::readProfile(conn, QStringLiteral("Closed")).trimmed() == QLatin1String("1");
    if (s.startYear <= 0 || s.startPeriod < 1 || s.startPeriod > 12)
        throw Error(QStringLiteral("帐套没有设置启用月份，不能初始化。"));
    return s;
}

QString InitState::monthText() const { return QStringLiteral("%1年%2月").arg(startYear).arg(startPeriod); }

QString InitState::whyReadOnly() const {
    if (closed)
        return QStringLiteral("初始化已经结束，期初数据只能查看；要修改请先返回初始化。");
    if (currentYear * 12 + currentPeriod != startYear * 12 + startPeriod)
        return QStringLiteral("帐套已经不在启用月份（%1），期初数据只能查看。").arg(monthText());
    return {};
}

QStringList incompleteOpenings(db::Connection &conn, int limit) {
    const InitState s = InitState::read(conn);
    QStringList out;
    db::Recordset rs = conn.open(
        QStringLiteral(
            "select i.FNumber,i.FName,b.FStockID,st.FName as FStockName,b.FBegQty,b.FBegBal from icstockbal b "
            "inner join t_ICItem i on i.FItemID=b.FItemID left join t_Stock st on st.FItemID=b.FStockID "
            "where b.FYear=? and b.FPeriod=? and (b.FBegQty<0 or b.FBegBal<0 or "
            "(abs(b.FBegQty)<0.00005 and abs(b.FBegBal)>=0.005) or (b.FBegQty>0 and abs(b.FBegBal)<0.005)) "
            "order by i.FNumber,b.FStockID"),
        {s.startYear, s.startPeriod}, db::Cursor::Forward);
    for (; !rs.eof() && out.size() < limit; rs.moveNext()) {
        const double q = rs.toDouble(QStringLiteral("FBegQty")), v = rs.toDouble(QStringLiteral("FBegBal"));
        const QString why = q < 0 || v < 0 ? QStringLiteral("数量或金额为负数")
                            : q > 0        ? QStringLiteral("有数量没有金额")
                                           : QStringLiteral("有金额没有数量");
        const QString store = rs.text(QStringLiteral("FStockName"));
        out << QStringLiteral("%1 %2（%3）：%4")
                   .arg(rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName")),
                        store.isEmpty() ? QStringLiteral("无仓库") : store, why);
    }
    return out;
}

void closeInitialisation(db::Connection &conn) {
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    const InitState s = InitState::read(conn);
    if (s.closed)
        throw Error(QStringLiteral("初始化已经结束。"));
    const QStringList faults = incompleteOpenings(conn);
    if (!faults.isEmpty())
        throw Error(QStringLiteral("期初库存还不完整，不能结束初始化：\n") + faults.join(QLatin1Char('\n')));
    accountdb::writeProfile(conn, QStringLiteral("Closed"), QStringLiteral("1"), QStringLiteral("初始化已关闭"));
    tx.commit();
}

void reopenInitialisation(db::Connection &conn) {
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    const InitState s = InitState::read(conn);
    if (!s.closed)
        throw Error(QStringLiteral("初始化还没有结束。"));
    const int start = s.startYear * 12 + s.startPeriod;
    if (s.currentYear * 12 + s.currentPeriod > start)
        throw Error(QStringLiteral("帐套已经结过%1的帐，期初数据已结转到以后的月份，不能返回初始化。").arg(s.monthText()));
    const int later =
        conn.scalar(QStringLiteral("select count(*) from ICStockBill where FYear*12+FPeriod>?"), {start}).toInt();
    if (later > 0)
        throw Error(QStringLiteral("已有%1以后的单据 %2 张，期初数据已被使用，不能返回初始化。").arg(s.monthText()).arg(later));
    accountdb::writeProfile(conn, QStringLiteral("Closed"), QStringLiteral("0"), QStringLiteral("初始化已关闭"));
    tx.commit();
}

} // namespace zostore::modules::init
