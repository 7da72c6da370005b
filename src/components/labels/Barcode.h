// Barcodes for labels: encoded by libzint, kept as vector shapes so they print sharp at any resolution.
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace zostore::components::labels {

enum class Symbology { Ean13, Ean8, Code128 };

QString symbologyName(Symbology s);             // "EAN-13", "EAN-8", "Code 128"
Symbology symbologyFromName(const QString &name); // unknown names read as EAN-13

struct BarcodeDrawing {
    struct Text {
        QPointF pos; // baseline point, aligned as halign says
        double size = 0;
        int halign = 0; // 0 centre, 1 left, 2 right
        QString text;
    };
    QSizeF size; // in the encoder's units, quiet zones and digits included
    QList<QRectF> bars;
    QList<Text> texts;
};

// Throws zostore::Error with a message naming the value when the data does not fit the symbology.
BarcodeDrawing encodeBarcode(Symbology symbology, const QString &data, bool showDigits);

// The EAN check digit of the digits given (without their check digit).
int eanCheckDigit(const QString &digits);

// Scales the drawing into target; the digits keep their proportions.
void paintBarcode(QPainter &painter, const QRectF &target, const BarcodeDrawing &drawing);

} // namespace zostore::components::labels
