// Items looked up for labels: by code, shop code or barcode, or every line of a bill.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::components::labels {

struct LabelItem {
    QString number;
    QString name;
    QString shopNumber;
    QString model;
    QString unit;
    QString barcode;
    QString priceText; // retail price as the label shows it
    int count = 1;
};

class LabelItems {
public:
    explicit LabelItems(db::Connection &conn);

    // Code, shop code, the item's barcode or a package barcode (which brings its own price).
    std::optional<LabelItem> find(const QString &codeOrBarcode) const;
    // One entry per item of the bill, as many labels as it brought in; throws when there is no such bill.
    QList<LabelItem> fromBill(const QString &billNo) const;
    // Each item's label with its own barcode and retail price, by item id; counts are left at 1.
    QHash<int, LabelItem> forItems(const QList<int> &itemIds) const;

private:
    db::Connection &m_conn;
};

QString priceText(double price);

} // namespace zostore::components::labels
