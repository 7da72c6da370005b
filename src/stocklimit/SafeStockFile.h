// The exchange file safestock.txt: store key, item key, minimum, maximum, safety stock per CR LF line.
#pragma once

#include "stocklimit/GenerationRequest.h"

#include <QSaveFile>
#include <QString>

#include <memory>

namespace zostore::db {
class Connection;
}

namespace zostore::stocklimit {

class SafeStockFile {
public:
    static QString fileName() { return QStringLiteral("safestock.txt"); }

    // After a generation: the chosen store's rows in the item range, or item totals when no store.
    // Returns the number of records written.
    static int writeGenerated(db::Connection &conn, const QString &path, const GenerationRequest &request);
    // Like writeGenerated, but into a temporary file beside path; the caller's commit() on the result
    // moves it into place, so the file can be written before the limits are committed and kept only after.
    static std::unique_ptr<QSaveFile> stageGenerated(db::Connection &conn, const QString &path,
                                                     const GenerationRequest &request, int &count);
    // Every item's totals, deleted items included, then every store row.
    static int writeAll(db::Connection &conn, const QString &path);

    // Reads the whole file before changing anything, then in one transaction removes the chosen store's
    // rows in the item range (none without a store) and applies the records in file order.
    // A missing file or a short line raises an error naming the full path and changes nothing.
    static int import(db::Connection &target, const QString &path, const GenerationRequest &request);
};

} // namespace zostore::stocklimit
