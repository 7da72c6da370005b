// Reading a table back from a spreadsheet file: the first worksheet of an .xlsx, or a .csv.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::components::sheet {

// Rows as the file numbers them: element 0 is row 1, an empty row stays an empty list. Cells keep their
// text; numbers as their shortest exact text ("12.5", "7"). Throws zostore::Error naming the file.
QList<QStringList> readXlsx(const QString &path);
// UTF-8 with or without a BOM, commas, quotes doubled inside quoted fields, line breaks inside them kept.
QList<QStringList> readCsv(const QString &path);
// By the file's suffix: .csv, else .xlsx.
QList<QStringList> readSheet(const QString &path);

} // namespace zostore::components::sheet
