// The demo shop's goods: a two-level group tree and the products sold in it.
#pragma once

#include <QList>
#include <QString>

namespace zostore::demo {

struct DemoProduct {
    QString name;      // FName
    QString quick;     // FQuickNum: initials of the name
    QString unit;      // FUnit
    int exchange;      // FExchange: units per package
    QString brand;     // FBrand
    QString origin;    // FOrigin
    int shelfLifeDays; // FShelfLife, 0 for fresh goods
    // FModel and base purchase price of each variant, "model:price" separated by ";"
    QString variants;
};

struct DemoGroup {
    QString number; // two digits per level
    QString name;
    QList<DemoProduct> products; // empty for a top-level group
};

// Top-level groups followed by their subgroups (a subgroup's number starts with its parent's).
const QList<DemoGroup> &demoGroups();

} // namespace zostore::demo
