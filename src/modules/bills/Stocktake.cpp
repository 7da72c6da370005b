#include "modules/bills/Stocktake.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/bills/BillStore.h"

#include <QDateTime>
#include <cmath>

namespace zostore::modules::bills {

Stocktake::Stocktake(db::Connection &conn, int userId) : m_conn(conn), m_userId(userId) {}

int Stocktake::freeze(int stockId) {
    if (stockId <= 0)
        throw Error(QStringLiteral("请选择要盘点的仓库。"));
    db::Transaction tx(m_conn, db::Transaction::Lock::Books);
    const QString store =
        m_conn.scalar(QStringLiteral("select FName from t_Stock where FItemID=?"), {stockId}).toString();
    if (store.isEmpty())
        throw Error(QStringLiteral("仓库已经不存在。"));
    if (m_conn
            .scalar(QStringLiteral("select count(*) from ICPdFreeze where FStockID=? and FState=0"),
                    {stockId})
            .toInt() > 0)
        throw Error(QStringLiteral("仓库“%1”已经扎帐，请先录入这次的盘点结果。").arg(store));
    const int id = m_conn.scalar(QStringLiteral("select isnull(max(FPdID),0)+1 from ICPdFreeze")).toInt();
    m_conn.execute(
        QStringLiteral("insert into ICPdFreeze (FPdID,FStockID,FDate,FUserID,FState) values (?,?,?,?,0)"),
        {id, stockId, QDateTime::currentDateTime(), m_userId});
    m_conn.execute(
        QStringLiteral("insert into ICPdEntry (FPdID,FItemID,FBookQty,FCountQty,FCounted) "
                       "select ?,i.FItemID,isnull(v.FQty,0),0,0 from t_ICItem i left join ICInventory v "
                       "on v.FItemID=i.FItemID and v.FStockID=? where i.FDel=0"),
        {id, stockId});
    tx.commit();
    return id;
}

QList<OpenCount> Stocktake::openCounts() {
    QList<OpenCount> out;
    for (auto rs = m_conn.open(
             QStringLiteral("select p.FPdID,p.FStockID,p.FDate,s.FName from ICPdFreeze p left join "
                            "t_Stock s on s.FItemID=p.FStockID where p.FState=0 order by p.FPdID"));
         !rs.eof(); rs.moveNext())
        out << OpenCount{rs.toInt(QStringLiteral("FPdID")), rs.toInt(QStringLiteral("FStockID")),
                         rs.text(QStringLiteral("FName")), rs.text(QStringLiteral("FDate"))};
    return out;
}

OpenCount Stocktake::requireOpen(int pdId) {
    for (const OpenCount &c : openCounts())
        if (c.pdId == pdId)
            return c;
    throw Error(QStringLiteral("这次盘点已经结束或不存在。"));
}

QList<CountLine> Stocktake::sheet(int pdId, int groupId) {
    QList<CountLine> out;
    for (auto rs = m_conn.open(
             QStringLiteral("select e.FItemID,e.FBookQty,e.FCountQty,e.FCounted,i.FNumber,i.FName,i.FModel,"
                            "i.FUnit,isnull(g.FName,'') as FGroup from ICPdEntry e join t_ICItem i on "
                            "i.FItemID=e.FItemID left join t_ItemGroup g on g.FItemID=i.FParentID "
                            "where e.FPdID=? and (?=0 or i.FParentID=? or i.FParentID in (select c.FItemID "
                            "from t_ItemGroup c "
                            "where c.FParentID=?)) order by isnull(g.FNumber,''),i.FNumber"),
             {pdId, groupId, groupId, groupId});
         !rs.eof(); rs.moveNext()) {
        CountLine l;
        l.itemId = rs.toInt(QStringLiteral("FItemID"));
        l.group = rs.text(QStringLiteral("FGroup"));
        l.number = rs.text(QStringLiteral("FNumber"));
        l.name = rs.text(QStringLiteral("FName"));
        l.model = rs.text(QStringLiteral("FModel"));
        l.unit = rs.text(QStringLiteral("FUnit"));
        l.bookQty = rs.toDouble(QStringLiteral("FBookQty"));
        l.countQty = rs.toDouble(QStringLiteral("FCountQty"));
        l.counted = rs.toInt(QStringLiteral("FCounted")) != 0;
        out << l;
    }
    return out;
}

void Stocktake::saveCounts(int pdId, const QHash<int, double> &counts) {
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (!std::isfinite(it.value()) || it.value() < 0)
            throw Error(QStringLiteral("盘点数量必须是不小于零的数字。"));
    db::Transaction tx(m_conn);
    requireOpen(pdId);
    auto update = m_conn.prepare(
        QStringLiteral("update ICPdEntry set FCountQty=?,FCounted=1 where FPdID=? and FItemID=?"));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        update.exec({std::round(it.value() * 10000.0) / 10000.0, pdId, it.key()});
    tx.commit();
}

CountResult Stocktake::generate(int pdId, const QDate &date) {
    db::Transaction tx(m_conn, db::Transaction::Lock::Books);
    const OpenCount count = requireOpen(pdId);
    Bill gain, loss;
    gain.kind = 15;
    gain.inStockId = count.stockId;
    loss.kind = 25;
    loss.outStockId = count.stockId;
    for (Bill *b : {&gain, &loss}) {
        b->date = date;
        b->remark = QStringLiteral("盘点 %1").arg(pdId);
    }
    BillStore store(m_conn, m_userId);
    for (const CountLine &l : sheet(pdId)) {
        const double diff = std::round((l.countQty - l.bookQty) * 10000.0) / 10000.0;
        if (!l.counted || diff == 0)
            continue;
        const auto facts = store.itemFacts(l.itemId);
        BillLine line;
        line.itemId = l.itemId;
        line.number = l.number;
        line.name = l.name;
        line.qty = std::abs(diff);
        line.price = facts ? facts->cost : 0;
        line.exchange = facts ? facts->exchange : 1;
        (diff > 0 ? gain : loss).lines << line;
    }
    CountResult r;
    r.gains = int(gain.lines.size());
    r.losses = int(loss.lines.size());
    // The loss was on the shelf already: booking it never waits for a yes.
    for (Bill *b : {&gain, &loss})
        if (!b->lines.isEmpty())
            store.save(*b, true);
    r.gainBillNo = gain.billNo;
    r.lossBillNo = loss.billNo;
    m_conn.execute(
        QStringLiteral("update ICPdFreeze set FState=1,FGainInterID=?,FLossInterID=? where FPdID=?"),
        {gain.interId, loss.interId, pdId});
    tx.commit();
    return r;
}

} // namespace zostore::modules::bills
