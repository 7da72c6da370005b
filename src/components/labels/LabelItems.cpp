#include "components/labels/LabelItems.h"

#include "components/items/ItemLookup.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"

#include <cmath>

namespace zostore::components::labels {

namespace {

constexpr int RetailPriceStyle = 1;

LabelItem itemOf(db::Recordset &rs) {
    LabelItem item;
    item.number = rs.text(QStringLiteral("FNumber"));
    item.name = rs.text(QStringLiteral("FName"));
    item.shopNumber = rs.text(QStringLiteral("FShopNumber"));
    item.model = rs.text(QStringLiteral("FModel"));
    item.unit = rs.text(QStringLiteral("FUnit"));
    item.barcode = rs.text(QStringLiteral("FBar_Code"));
    item.priceText = priceText(rs.toDouble(QStringLiteral("FRetail")));
    return item;
}

} // namespace

QString priceText(double price) { return QString::number(std::round(price * 100) / 100, 'f', 2); }

LabelItems::LabelItems(db::Connection &conn) : m_conn(conn) {}


std::optional<LabelItem> LabelItems::find(const QString &codeOrBarcode) const {
    const auto found = items::ItemLookup(m_conn, RetailPriceStyle, true).find(codeOrBarcode);
    if (!found)
        return std::nullopt;
    LabelItem item;
    item.number = found->number;
    item.name = found->name;
    item.shopNumber = found->shopNumber;
    item.model = found->model;
    item.unit = found->unit;
    // A barcode of the barcode table labels what it is printed on: its own code and price.
    item.barcode = found->viaBarcodeTable ? found->barcode : found->itemBarcode;
    item.priceText = priceText(found->viaBarcodeTable ? found->barcodePrice : found->price);
    return item;
}

QList<LabelItem> LabelItems::fromBill(const QString &billNo) const {
    auto bill = m_conn.open(QStringLiteral("select FInterID from ICStockBill where FBillNo=? and FDeleted=0"),
                            {billNo.trimmed()});
    if (bill.eof())
        throw Error(QStringLiteral("没有单号为“%1”的单据。").arg(db::shortened(billNo.trimmed())));
    auto rs = m_conn.open(QStringLiteral("select i.FNumber,i.FName,i.FShopNumber,i.FModel,i.FUnit,i.FBar_Code,") +
                              items::ItemLookup(m_conn, RetailPriceStyle).priceExpression() +
                              QStringLiteral(" as FRetail, sum(e.FQty) as FCount from ICStockBillEntry e "
                                             "join t_ICItem i on i.FItemID=e.FItemID where e.FInterID=? "
                                             "group by i.FItemID order by min(e.FEntryID)"),
                          {bill.value(QStringLiteral("FInterID"))});
    QList<LabelItem> items;
    for (; !rs.eof(); rs.moveNext()) {
        LabelItem item = itemOf(rs);
        item.count = std::max(1, static_cast<int>(std::ceil(std::abs(rs.toDouble(QStringLiteral("FCount"))))));
        items << item;
    }
    return items;
}

QHash<int, LabelItem> LabelItems::forItems(const QList<int> &itemIds) const {
    QHash<int, LabelItem> items;
    if (itemIds.isEmpty())
        return items;
    QStringList marks;
    QVariantList params;
    for (int id : itemIds) {
        marks << QStringLiteral("?");
        params << id;
    }
    auto rs = m_conn.open(QStringLiteral("select i.FItemID,i.FNumber,i.FName,i.FShopNumber,i.FModel,i.FUnit,i.FBar_Code,") +
                              items::ItemLookup(m_conn, RetailPriceStyle).priceExpression() +
                              QStringLiteral(" as FRetail from t_ICItem i where i.FItemID in (") + marks.join(u',') +
                              QStringLiteral(")"),
                          params);
    for (; !rs.eof(); rs.moveNext())
        items.insert(rs.toInt(QStringLiteral("FItemID")), itemOf(rs));
    return items;
}

} // namespace zostore::components::labels
