// The item's extra fields captioned in t_ItemDetail, as the limit lists show them.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

struct ItemExtraField {
    QString name;    // column of t_ICItem
    QString caption;
};

// Only names that are plain identifiers and columns of t_ICItem, since they become part of SQL text.
QList<ItemExtraField> itemExtraFields(db::Connection &conn);

} // namespace zostore::accountdb
