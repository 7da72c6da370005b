// The time-period discount rows of PosQtZkSet: stores, groups, lines, saving a group as one transaction.
#pragma once

#include "counter/DiscountGroups.h"

#include <QList>
#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::counter {

struct DiscountStore {
    int id = 0; // 0: every store
    int priceStyleId = 0;
};

struct DiscountLine {
    QString barcode;
    QString number;
    QString name;  // read only
    QString model; // read only
    int itemId = 0;
    double rate = 0;
    double price = 0;
    double retailPrice = 0;
    double saleQty = 0;
    double vipQty = 0;
    std::optional<double> mExchange;
};

class PosDiscounts {
public:
    explicit PosDiscounts(db::Connection &conn);

    QStringList storeNames();
    // The store named so, or the first priced style for every store; nullopt for an unknown name.
    DiscountStore allStores();
    std::optional<DiscountStore> store(const QString &name);

    QList<DiscountSpan> groups(int storeId);
    bool groupExists(int storeId, const DiscountSpan &span);
    QList<DiscountLine> lines(int storeId, const DiscountSpan &span);

    // Replaces the group's lines with these, numbered 1, 2, 3 … in one transaction.
    void save(int storeId, const DiscountSpan &span, const QList<DiscountLine> &lines);
    // Moves the group's lines to another span; refused when the store has a group there already.
    void moveGroup(int storeId, const DiscountSpan &from, const DiscountSpan &to);
    void deleteGroup(int storeId, const DiscountSpan &span);

private:
    db::Connection &m_conn;
};

inline constexpr int BarcodeMaxLength = 50;
inline const QString GroupExistsMessage = QStringLiteral("操作失败，新增的组已经存在！");

} // namespace zostore::counter
