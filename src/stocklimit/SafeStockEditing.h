// What the safety-stock editor writes and asks: one limit per edit, the filter's item condition.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}
namespace zostore::components::items {
struct ItemFilterChoice;
}

namespace zostore::stocklimit {

// The @UserSql condition of a filter choice; every value passes the quoting helper, and the wildcards
// of a contained text match themselves.
QString filterCondition(const components::items::ItemFilterChoice &choice);
// The condition for one group of the tree.
QString groupCondition(int groupKey);

// Stores one typed limit of an item in a store ("Min", "Max" or "Safe"); only that field changes, so
// edits of other limits from another workstation survive. A text that is not a number, or another
// field, raises an error and stores nothing.
void storeLimit(db::Connection &conn, int stockId, int itemId, const QString &field, const QString &typed);

} // namespace zostore::stocklimit
