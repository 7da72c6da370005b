#include "modules/bills/BillPrint.h"

#include "db/Connection.h"
#include "db/NumberText.h"

#include <cmath>

namespace zostore::modules::bills {

namespace {

QString figure(double v, int decimals) { return db::figureText(v, decimals); }

QString money(double v) {
    return QString::number(std::round(v * 100.0) / 100.0, 'f', 2);
}

QString nameOf(db::Connection &conn, const char *table, int id, bool withNumber) {
    if (id <= 0)
        return {};
    auto rs = conn.open(
        QStringLiteral("select FNumber,FName from %1 where FItemID=?").arg(QLatin1String(table)), {id});
    if (rs.eof())
        return {};
    return withNumber
               ? rs.text(QStringLiteral("FNumber")) + QLatin1Char(' ') + rs.text(QStringLiteral("FName"))
               : rs.text(QStringLiteral("FName"));
}

} // namespace

db::Recordset billPrintRecords(db::Connection &conn, const Bill &bill) {
    const BillKind *k = billKind(bill.kind);
    double qty = 0, amount = 0;
    for (const BillLine &l : bill.lines) {
        qty += l.qty;
        amount += std::round(l.qty * l.price * 100.0) / 100.0;
    }
    const QVector<QVariant> header{bill.billNo,
                                   bill.date.toString(QStringLiteral("yyyy-MM-dd")),
                                   k ? k->name : QString(),
                                   nameOf(conn, "t_Supplier", bill.orgaId, true),
                                   nameOf(conn, "t_Stock", bill.outStockId, true),
                                   nameOf(conn, "t_Stock", bill.inStockId, true),
                                   nameOf(conn, "t_Emp", bill.empId, false),
                                   bill.remark,
                                   figure(qty, 4),
                                   money(amount)};
    const QStringList names{
        QStringLiteral("FBillNo"),    QStringLiteral("FDate"),     QStringLiteral("FKindName"),
        QStringLiteral("FPartner"),   QStringLiteral("FOutStock"), QStringLiteral("FInStock"),
        QStringLiteral("FEmp"),       QStringLiteral("FRemark"),   QStringLiteral("FSumQty"),
        QStringLiteral("FSumAmount"), QStringLiteral("FNumber"),   QStringLiteral("FName"),
        QStringLiteral("FModel"),     QStringLiteral("FUnit"),     QStringLiteral("FMainQty"),
        QStringLiteral("FQty"),       QStringLiteral("FPrice"),    QStringLiteral("FAmount"),
        QStringLiteral("FJhDate")};
    QVector<QVector<QVariant>> rows;
    for (const BillLine &l : bill.lines) {
        QVector<QVariant> r = header;
        r << l.number << l.name << l.model << l.unit << figure(l.mainQty, 4) << figure(l.qty, 4)
          << figure(l.price, 4) << money(l.qty * l.price)
          << (l.due.isValid() ? l.due.toString(QStringLiteral("yyyy-MM-dd")) : QString());
        rows << r;
    }
    return db::Recordset::fromRows(names, rows);
}

} // namespace zostore::modules::bills
