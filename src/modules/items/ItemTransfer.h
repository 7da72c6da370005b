// Items and partners to and from a spreadsheet whose first row holds the captions the forms show.
#pragma once

#include "components/export/Sheet.h"
#include "components/export/SheetImport.h"
#include "modules/items/FileStore.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::items {

using components::sheet::ImportReport;
using components::sheet::RowProblem;

components::sheet::Sheet exportItems(db::Connection &conn);
// Nothing is written while any row is bad, unless skipBad; then the good rows are. One transaction
// under the account-set lock; the rows go in as multi-row inserts.
ImportReport importItems(db::Connection &conn, const QList<QStringList> &rows, bool skipBad);

// Suppliers or customers.
components::sheet::Sheet exportPartners(db::Connection &conn, FileKind kind);
ImportReport importPartners(db::Connection &conn, FileKind kind, const QList<QStringList> &rows,
                            bool skipBad);

} // namespace zostore::modules::items
