// What the spreadsheet imports share: the report of bad rows, the header check, and the window's import.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace zostore::db {
class Connection;
}

namespace zostore::components::sheet {

struct RowProblem {
    int row = 0; // as the spreadsheet numbers it, the header being row 1
    QString reason;
};

struct ImportReport {
    int imported = 0;
    QList<RowProblem> bad;
    // Every bad row with its number and reason, one a line.
    QString text() const;
};

bool blankRow(const QStringList &row);

// Header captions to column positions; an unknown or repeated caption, or a missing required one, stops
// the import.
QHash<QString, int> headerColumns(const QList<QStringList> &rows, const QStringList &known,
                                  const QStringList &required);

using ImportRun = std::function<ImportReport(db::Connection &, const QList<QStringList> &, bool skipBad)>;
// Asks for a file through ui::dialogs and imports it; with bad rows it lists them and offers to import
// the good ones alone. True when the import ran.
bool importFromFile(const QString &cnstr, const QString &what, const ImportRun &run);

} // namespace zostore::components::sheet
