// One item found by what a user types or scans: its code, shop code, its own barcode, a barcode of
// t_icitem_barcode (a package barcode brings its own price and units) or its quick code.
#pragma once

#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::components::items {

struct FoundItem {
    int itemId = 0;
    QString number;
    QString name;
    QString model;
    QString unit;
    QString shopNumber;
    QString itemBarcode; // t_ICItem.FBar_Code
    double price = 0;    // the item's sale price of the price style asked for; 0 without one
    // Set when the text was a barcode of t_icitem_barcode.
    bool viaBarcodeTable = false;
    QString barcode;
    double barcodePrice = 0;
    double barcodeExchange = 1;
    bool isPackage() const { return viaBarcodeTable && barcodeExchange != 1; }
};

class ItemLookup {
public:
    // priceStyleId 0 reads no price; a style without its price column is refused when looking up.
    ItemLookup(db::Connection &conn, int priceStyleId, bool byShopNumber = false);

    // Quick codes are tried last, when nothing else matched; several items may share one.
    void setByQuickNumber(bool on) { m_byQuickNumber = on; }
    // An item code wins over a barcode; deleted items are never found.
    std::optional<FoundItem> find(const QString &text);
    // The price column as "i.<column>" (or "0" for style 0), for statements of their own over t_ICItem i.
    QString priceExpression();

private:
    db::Connection &m_conn;
    int m_priceStyleId;
    bool m_byShopNumber;
    bool m_byQuickNumber = false;
    QString m_priceExpr; // checked once per lookup object
};

} // namespace zostore::components::items
