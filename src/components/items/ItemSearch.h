// Items matching a typed text by code, name, quick code or any barcode, optionally within a group and its subgroups.
#pragma once

#include <QString>
#include <QVector>

namespace zostore::db {
class Connection;
}

namespace zostore::components::items {

struct ItemRow {
    QString number;
    QString name;
    QString model;
    QString unit;
    QString quickNumber;
    QString barcode;
};

// An empty text lists every item; groupId 0 means all groups. Deleted items are left out.
QVector<ItemRow> searchItems(db::Connection &conn, const QString &text, int groupId = 0);

} // namespace zostore::components::items
