#include "components/items/ItemLookup.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"

namespace zostore::components::items {

namespace {

const QString ItemFields =
    QStringLiteral("i.FItemID,i.FNumber,i.FName,i.FModel,i.FUnit,i.FShopNumber,i.FBar_Code,");

FoundItem itemOf(const db::Recordset &rs) {
    FoundItem f;
    f.itemId = rs.toInt(QStringLiteral("FItemID"));
    f.number = rs.text(QStringLiteral("FNumber"));
    f.name = rs.text(QStringLiteral("FName"));
    f.model = rs.text(QStringLiteral("FModel"));
    f.unit = rs.text(QStringLiteral("FUnit"));
    f.shopNumber = rs.text(QStringLiteral("FShopNumber"));
    f.itemBarcode = rs.text(QStringLiteral("FBar_Code"));
    f.price = rs.toDouble(QStringLiteral("FItemPrice"));
    return f;
}

} // namespace

ItemLookup::ItemLookup(db::Connection &conn, int priceStyleId, bool byShopNumber)
    : m_conn(conn), m_priceStyleId(priceStyleId), m_byShopNumber(byShopNumber) {}

QString ItemLookup::priceExpression() {
    if (!m_priceExpr.isEmpty())
        return m_priceExpr;
    if (m_priceStyleId <= 0) {
        m_priceExpr = QStringLiteral("0");
    } else {
        // The column name is built from an integer only.
        const QString col = accountdb::priceColumnName(m_priceStyleId);
        if (!accountdb::hasColumn(m_conn, QStringLiteral("t_ICItem"), col))
            throw Error(QStringLiteral("价格类型 %1 在商品资料中没有对应的售价。").arg(m_priceStyleId));
        m_priceExpr = QStringLiteral("i.") + col;
    }
    return m_priceExpr;
}

std::optional<FoundItem> ItemLookup::find(const QString &typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QString price = priceExpression() + QStringLiteral(" as FItemPrice");
    const QString shop = m_byShopNumber ? QStringLiteral(" or i.FShopNumber=?") : QString();
    QVariantList params{text, text};
    if (m_byShopNumber)
        params << text;
    params << text;
    auto rs = m_conn.open(QStringLiteral("select ") + ItemFields + price +
                              QStringLiteral(" from t_ICItem i where i.FDel=0 and (i.FNumber=? or i.FBar_Code=?") +
                              shop + QStringLiteral(") order by case when i.FNumber=? then 0 else 1 end"),
                          params);
    if (!rs.eof())
        return itemOf(rs);
    auto bar = m_conn.open(QStringLiteral("select ") + ItemFields + price +
                               QStringLiteral(",b.FBarCode,b.FPrice,b.FExchange from t_icitem_barcode b "
                                              "join t_ICItem i on i.FItemID=b.FItemID "
                                              "where b.FBarCode=? and i.FDel=0"),
                           {text});
    if (bar.eof()) {
        if (!m_byQuickNumber)
            return std::nullopt;
        auto quick = m_conn.open(QStringLiteral("select ") + ItemFields + price +
                                     QStringLiteral(" from t_ICItem i where i.FDel=0 and i.FQuickNum=? "
                                                    "order by i.FNumber limit 1"),
                                 {text});
        if (quick.eof())
            return std::nullopt;
        return itemOf(quick);
    }
    FoundItem f = itemOf(bar);
    f.viaBarcodeTable = true;
    f.barcode = bar.text(QStringLiteral("FBarCode"));
    f.barcodePrice = bar.toDouble(QStringLiteral("FPrice"));
    f.barcodeExchange = bar.isNull(QStringLiteral("FExchange")) ? 1 : bar.toDouble(QStringLiteral("FExchange"));
    return f;
}

} // namespace zostore::components::items
