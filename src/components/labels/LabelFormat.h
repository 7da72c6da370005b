// A print format: a label's size, how labels sit on the sheet, and the fields placed on it (millimetres).
// A bill's print format is the same with the page as its one "label", header fields and a lines table.
#pragma once

#include "components/labels/Barcode.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace zostore::components::labels {

struct LabelElement {
    enum class Kind { Text, Field, Price, Barcode, Line, Box, Table };
    Kind kind = Kind::Field;
    QRectF rect; // on the label, in mm; a line runs from its top-left to its bottom-right corner
    QString text;  // fixed text; for fields and prices, text put before the value
    QString field; // item field the value comes from (FName, FBarCode, ...)
    double fontSize = 9; // points
    bool bold = false;
    int align = 0; // 0 left, 1 centre, 2 right
    Symbology symbology = Symbology::Ean13;
    bool showDigits = true;
    double lineWidth = 0.3; // mm
    QStringList columns;    // a lines table's columns, as billLineFields() names them
};

struct LabelFormat {
    QString name;
    int tranType = 51; // 51 labels; otherwise the bill kind whose format this is
    double width = 60;  // mm
    double height = 40; // mm
    double gapX = 2;    // between labels of a row
    double gapY = 2;    // between rows
    double marginLeft = 5;
    double marginTop = 5;
    int columns = 1; // labels per row when the label data does not say
    QList<LabelElement> elements;

    // Layout text kept in the format's own column; throws zostore::Error naming the format when it is unreadable.
    QString toLayoutText() const;
    static LabelFormat fromLayoutText(const QString &name, const QString &text, int tranType = 51);
    bool isBill() const { return tranType != 51; }
    // Refuses sizes a sheet cannot hold, elements outside the label, and unknown fields.
    void validate() const;
};

QString kindName(LabelElement::Kind k);
// The item fields a label element can show, with their captions.
const QList<QPair<QString, QString>> &labelFields();
// Bill kinds that have print formats, with their names.
const QList<QPair<int, QString>> &billFormatTypes();
bool isBillFormatType(int tranType);
// Header fields of a bill format, and the columns its lines table can have.
const QList<QPair<QString, QString>> &billHeaderFields();
const QList<QPair<QString, QString>> &billLineFields();
// The fields a format of this type places outside a table.
const QList<QPair<QString, QString>> &formatFields(int tranType);
// Height of one row of a lines table, header row included.
double tableRowMm(const LabelElement &table);
// Lines a table holds on one page, below its header row.
int tableCapacity(const LabelElement &table);

} // namespace zostore::components::labels
