#include "modules/bills/BillSearch.h"

#include "db/Connection.h"

namespace zostore::modules::bills {

namespace {

QString likeText(const QString &s) {
    QString e = s.trimmed();
    e.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + e + QLatin1Char('%');
}

} // namespace

db::Recordset searchBills(db::Connection &conn, const BillCriteria &c) {
    QVariantList p;
    QString where;
    const bool order = c.kind == 11;
    const QDateTime from = c.from.startOfDay(), to = QDateTime(c.to, QTime(23, 59, 59));
    if (order) {
        where = QStringLiteral("isnull(t1.FDeleted,0)=0 and t1.FDate between ? and ?");
        p << from << to;
    } else {
        where = QStringLiteral("t1.FDeleted=0 and t1.FTranType=? and t1.FDate between ? and ?");
        p << c.kind << from << to;
    }
    if (!c.billNo.trimmed().isEmpty()) {
        where += QStringLiteral(" and t1.FBillNo like ? escape '\\'");
        p << likeText(c.billNo);
    }
    if (c.orgaId > 0) {
        where += c.kind == 99 ? QStringLiteral(" and t1.FVipID=?") : QStringLiteral(" and t1.FOrgaID=?");
        p << c.orgaId;
    }
    if (c.stockId > 0 && !order) {
        where += QStringLiteral(" and (t1.FInStockID=? or t1.FOutStockID=?)");
        p << c.stockId << c.stockId;
    }
    const QString entries = order ? QStringLiteral("ICOrderEntry") : QStringLiteral("ICStockBillEntry");
    if (!c.item.trimmed().isEmpty()) {
        // The item side first: a few matching items, then their lines by the item index.
        where += QStringLiteral(" and t1.FInterID in (select x.FInterID from %1 x where x.FItemID in "
                                "(select i.FItemID from t_ICItem i where i.FNumber like ? escape '\\' "
                                "or i.FName like ? escape '\\' or i.FBar_Code=?))")
                     .arg(entries);
        p << likeText(c.item) << likeText(c.item) << c.item.trimmed();
    }
    if (order)
        return conn.open(
            QStringLiteral(
                "select t1.FInterID,t1.FBillNo,t1.FDate,s.FName as FPartner,'' as FOutStock,'' as FInStock,"
                "e.FName as FEmp,t1.FRemark,(select sum(x.FQty) from ICOrderEntry x where "
                "x.FInterID=t1.FInterID) "
                "as FSumQty,(select sum(x.FQty*x.FPrice) from ICOrderEntry x where x.FInterID=t1.FInterID) "
                "as FSumAmount from ICOrder t1 left join t_Supplier s on s.FItemID=t1.FOrgaID "
                "left join t_Emp e on e.FItemID=t1.FSalerID where ") +
                where + QStringLiteral(" order by t1.FDate,t1.FBillNo"),
            p);
    const QString partner =
        c.kind == 99
            ? QStringLiteral("v.FOwner as FPartner from ICStockBill t1 left join Vip v on v.FVipID=t1.FVipID")
            : QStringLiteral(
                  "s.FName as FPartner from ICStockBill t1 left join t_Supplier s on s.FItemID=t1.FOrgaID");
    return conn.open(
        QStringLiteral("select t1.FInterID,t1.FBillNo,t1.FDate,o.FName as FOutStock,n.FName as FInStock,"
                       "e.FName as FEmp,t1.FRemark,(select sum(x.FQty) from ICStockBillEntry x "
                       "where x.FInterID=t1.FInterID) as FSumQty,t1.FSumAmount,") +
            partner +
            QStringLiteral(" left join t_Stock o on o.FItemID=t1.FOutStockID left join t_Stock n on "
                           "n.FItemID=t1.FInStockID left join t_Emp e on e.FItemID=t1.FEmpID where ") +
            where + QStringLiteral(" order by t1.FDate,t1.FBillNo"),
        p);
}

} // namespace zostore::modules::bills
