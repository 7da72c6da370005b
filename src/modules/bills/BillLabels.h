// The labels a bill's lines call for: one per unit received or one per line.
#pragma once

#include "components/labels/LabelItems.h"
#include "modules/bills/Bill.h"

namespace zostore::db {
class Connection;
}

namespace zostore::modules::bills {

enum class LabelCount { PerUnit, PerLine };

// One entry per line in line order, with the item's barcode and retail price; throws for a line whose item
// is gone from the item file.
QList<components::labels::LabelItem> billLabels(db::Connection &conn, const Bill &bill, LabelCount count);

} // namespace zostore::modules::bills
