// The item file: reading, checking and saving one item with its prices and extra barcodes, and removal.
#pragma once

#include "accountdb/ItemExtraFields.h"
#include "components/items/ItemLookup.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::items {

struct ExtraBarcode {
    QString barcode;
    int priceStyleId = 0; // 0: no price style of its own
    QString price;
    QString exchange = QStringLiteral("1"); // units in the package the barcode is printed on
};

// As typed: numbers are text until the store checks them, so a form and an import share the checks.
struct ItemInput {
    int id = 0; // 0: a new item
    QString number;
    QString name;
    QString model;
    QString unit;
    QString exchange = QStringLiteral("1");
    int groupId = 0;
    QString quickNumber;
    QString shopNumber; // empty: generated when the account set says so
    QString barcode;
    QString purPrice;
    QString costPrice;
    QMap<int, QString> prices;    // price style -> sale price
    QMap<QString, QString> extra; // t_ItemDetail field -> value
    QList<ExtraBarcode> barcodes;
};

// An item's fields after the checks, as they are written.
struct CheckedItem {
    QString number, name, model, unit, quick, shop, barcode;
    double exchange = 1, purPrice = 0, cost = 0;
    int groupId = 0;
    QMap<int, double> prices;
    QList<QPair<QString, QVariant>> extra;
    struct Bar {
        QString code;
        int style;
        double price;
        double exchange;
    };
    QList<Bar> bars;
};

struct PriceStyle {
    int id = 0;
    QString number;
    QString name;
};

class ItemStore {
public:
    enum class Removal { Deleted, Marked };

    explicit ItemStore(db::Connection &conn);

    // Styles with a price column on the items, in FNumber order.
    QList<PriceStyle> priceStyles();
    QList<accountdb::ItemExtraField> extraFields();

    ItemInput item(int id);
    bool isDeleted(int id);

    // One transaction; the first bad field is refused with its caption and nothing is written.
    int save(const ItemInput &input);
    // A used item is only marked removed, so its bills, orders and balances keep their item.
    Removal remove(int id);

    // What a user typed or scanned, as the counters find it; a removed item is refused by name.
    std::optional<components::items::FoundItem> choose(const QString &text);

    // The next in-store code: EAN-13 ("20" + serial) or EAN-8 ("2" + serial) with its check digit.
    QString nextShopNumber(bool ean13);
    // The highest serial of the account set's made in-store codes, and the code of a serial.
    qint64 lastShopSerial(bool ean13);
    static QString shopNumberOf(qint64 serial, bool ean13);
    // The account set asks for made in-store codes; ean13 tells which kind.
    bool makesShopNumbers(bool *ean13);

    // The checks of one item that need no other rows; throws naming the field.
    CheckedItem check(const ItemInput &input);

private:
    void requireFree(const CheckedItem &c, int id);

    db::Connection &m_conn;
    QList<PriceStyle> m_styles;
    bool m_stylesRead = false;
    QList<accountdb::ItemExtraField> m_extra;
    bool m_extraRead = false;
};

} // namespace zostore::modules::items
