// Opening stock to and from a spreadsheet whose first row holds the captions of the opening-stock window.
#pragma once

#include "components/export/Sheet.h"
#include "components/export/SheetImport.h"

namespace zostore::db {
class Connection;
}

namespace zostore::modules::init {

using components::sheet::ImportReport;

// Every store's openings of the start month, by store and item code.
components::sheet::Sheet exportOpeningStock(db::Connection &conn);

// Replaces the openings of the item and store pairs the file names, under OpeningStock's rules. Nothing
// is written while any row is bad, unless skipBad; then the good rows are. One transaction under the
// account-set lock; the rows go through a scratch table, so a large file costs a few statements.
ImportReport importOpeningStock(db::Connection &conn, const QList<QStringList> &rows, bool skipBad);

} // namespace zostore::modules::init
