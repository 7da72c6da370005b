// A table as a spreadsheet file: header rows whose equal neighbours merge, then the data rows.
#pragma once

#include "ui/HeaderSpans.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::components::sheet {

struct Sheet {
    QString title;             // the worksheet's name
    QList<QStringList> header; // one or two rows, one text per column
    QList<QStringList> rows;
    QList<bool> numeric;    // columns written as numbers, with the format their text shows
    QList<int> widthsTwips; // 0 leaves the default width
    int columns() const { return header.isEmpty() ? 0 : int(header.first().size()); }
};

using ui::HeaderSpan;
using ui::headerSpans;

// The number a cell's text shows ("1,234.50", "-3", "0.00"); false for anything else, codes with
// leading zeros included, so that "00123" stays text.
bool parseNumber(const QString &text, double &value, int &decimals, bool &grouped);

// Both write to a temporary file beside the target and rename it at the end: a failure leaves any
// earlier file as it was. They throw zostore::Error with a message naming the file.
void writeXlsx(const Sheet &sheet, const QString &path);
void writeCsv(const Sheet &sheet, const QString &path); // UTF-8 with BOM, header rows first
// By the file's suffix: .csv, else .xlsx.
void writeSheet(const Sheet &sheet, const QString &path);

} // namespace zostore::components::sheet
