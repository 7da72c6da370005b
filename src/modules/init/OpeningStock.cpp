#include "modules/init/OpeningStock.h"

#include "accountdb/StockMovement.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/init/InitState.h"

#include <cmath>

namespace zostore::modules::init {

void checkOpening(const OpeningLine &l) {
    const QString item = QStringLiteral("商品 %1 %2").arg(l.number, l.name);
    if (!std::isfinite(l.qty) || !std::isfinite(l.amount))
        throw Error(QStringLiteral("%1：期初数量和金额必须是数字。").arg(item));
    if (l.qty < 0)
        throw Error(QStringLiteral("%1：期初数量不能是负数。").arg(item));
    if (l.amount < 0)
        throw Error(QStringLiteral("%1：期初金额不能是负数。").arg(item));
    if (std::abs(l.qty) < 0.00005 && std::abs(l.amount) >= 0.005)
        throw Error(QStringLiteral("%1：期初数量为零时金额也必须为零。").arg(item));
    if (std::abs(l.qty) > 1e12 || std::abs(l.amount) > 1e13)
        throw Error(QStringLiteral("%1：期初数量或金额太大。").arg(item));
}

QList<StoreRef> OpeningStock::stores() {
    QList<StoreRef> out;
    for (db::Recordset rs =
             m_conn.open(QStringLiteral("select FItemID,FNumber,FName from t_Stock order by FNumber"), {},
                         db::Cursor::Forward);
         !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FItemID")), rs.text(QStringLiteral("FNumber")),
                    rs.text(QStringLiteral("FName"))});
    return out;
}

QList<OpeningLine> OpeningStock::lines(int stockId) {
    const InitState s = InitState::read(m_conn);
    QList<OpeningLine> out;
    db::Recordset rs = m_conn.open(
        QStringLiteral("select i.FItemID,i.FNumber,i.FName,i.FModel,i.FUnit,b.FBegQty,b.FBegBal from t_ICItem i "
                       "left join icstockbal b on b.FItemID=i.FItemID and b.FYear=? and b.FPeriod=? "
                       "and b.FStockID=? where i.FDel=0 order by i.FNumber"),
        {s.startYear, s.startPeriod, stockId}, db::Cursor::Forward);
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FItemID")), rs.text(QStringLiteral("FNumber")),
                    rs.text(QStringLiteral("FName")), rs.text(QStringLiteral("FModel")),
                    rs.text(QStringLiteral("FUnit")), rs.toDouble(QStringLiteral("FBegQty")),
                    rs.toDouble(QStringLiteral("FBegBal"))});
    return out;
}

void OpeningStock::save(int stockId, const QList<OpeningLine> &changed) {
    for (const OpeningLine &l : changed)
        checkOpening(l);
    db::Transaction tx(m_conn, db::Transaction::Lock::Books);
    const InitState s = InitState::read(m_conn);
    const QString readOnly = s.whyReadOnly();
    if (!readOnly.isEmpty())
        throw Error(readOnly);
    if (m_conn.scalar(QStringLiteral("select count(*) from t_Stock where FItemID=?"), {stockId}).toInt() == 0)
        throw Error(QStringLiteral("仓库已被删除，请重新选择仓库。"));
    // An older set's unsplit openings get their store first, so a store's edit leaves the others whole.
    accountdb::alignStoreOpenings(m_conn, s.startYear, s.startPeriod);

    auto remove = m_conn.prepare(
        QStringLiteral("delete from icstockbal where FYear=? and FPeriod=? and FItemID=? and FStockID=?"));
    auto put = m_conn.prepare(QStringLiteral(
        "insert into icstockbal (FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) values (?,?,?,?,?,?)"));
    auto total = m_conn.prepare(QStringLiteral("delete from icbal where FYear=? and FPeriod=? and FItemID=?"));
    auto sum = m_conn.prepare(
        QStringLiteral("insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                       "select FItemID,FYear,FPeriod,sum(FBegQty),case when abs(sum(FBegQty))<0.00005 then 0 else "
                       "%1 end,sum(FBegBal) from icstockbal where FYear=? and FPeriod=? and FItemID=? "
                       "group by FItemID,FYear,FPeriod")
            .arg(accountdb::roundSql(QStringLiteral("sum(FBegBal)/sum(FBegQty)"), 4)));
    auto stock = m_conn.prepare(QStringLiteral(
        "insert into ICInventory (FStockID,FItemID,FQty) values (?,?,?) on conflict (FStockID,FItemID) "
        "do update set FQty=ICInventory.FQty+excluded.FQty"));
    for (const OpeningLine &l : changed) {
        const QVariant del = m_conn.scalar(QStringLiteral("select FDel from t_ICItem where FItemID=?"), {l.itemId});
        if (del.isNull() || del.toInt() != 0)
            throw Error(QStringLiteral("商品 %1 %2 已被删除，不能录入期初库存。").arg(l.number, l.name));
        const QVariantList key{s.startYear, s.startPeriod, l.itemId, stockId};
        const double before =
            m_conn
                .scalar(QStringLiteral("select FBegQty from icstockbal where FYear=? and FPeriod=? and FItemID=? "
                                       "and FStockID=?"),
                        key)
                .toDouble();
        const double qty = std::round(l.qty * 10000) / 10000, amount = std::round(l.amount * 100) / 100;
        remove.exec(key);
        if (qty != 0 || amount != 0)
            put.exec(key + QVariantList{qty, amount});
        total.exec({s.startYear, s.startPeriod, l.itemId});
        sum.exec({s.startYear, s.startPeriod, l.itemId});
        if (qty != before)
            stock.exec({stockId, l.itemId, qty - before});
    }
    tx.commit();
}

} // namespace zostore::modules::init
