// A label format: the label's size, how labels sit on the sheet, and the fields placed on it (millimetres).
#pragma once

#include "components/labels/Barcode.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace zostore::components::labels {

struct LabelElement {
    enum class Kind { Text, Field, Price, Barcode, Line, Box };
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
};

struct LabelFormat {
    QString name;
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
    static LabelFormat fromLayoutText(const QString &name, const QString &text);
    // Refuses sizes a sheet cannot hold, elements outside the label, and unknown fields.
    void validate() const;
};

QString kindName(LabelElement::Kind k);
// The item fields a label element can show, with their captions.
const QList<QPair<QString, QString>> &labelFields();

} // namespace zostore::components::labels
