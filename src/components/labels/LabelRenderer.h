// Draws labels of one format at a device's resolution; barcodes are encoded once per value.
#pragma once

#include "components/labels/LabelFormat.h"

#include <QHash>
#include <QStringList>

class QPainter;

namespace zostore::components::labels {

using LabelValues = QHash<QString, QString>; // item field -> text, as labelFields() names them

class LabelRenderer {
public:
    explicit LabelRenderer(LabelFormat format);

    const LabelFormat &format() const { return m_format; }
    // topLeft in device pixels; pxPerMm is the device's resolution. A lines table lists rows.
    void paint(QPainter &painter, const QPointF &topLeft, double pxPerMm, const LabelValues &values,
               const QList<LabelValues> &rows = {});
    // Values that could not be drawn as barcodes, one message each.
    const QStringList &problems() const { return m_problems; }

private:
    const BarcodeDrawing *barcode(const LabelElement &e, const QString &value);
    void paintTable(QPainter &painter, const QRectF &r, double pxPerMm, const LabelElement &e,
                    const QList<LabelValues> &rows);

    LabelFormat m_format;
    QHash<QString, BarcodeDrawing> m_barcodes; // symbology + digits flag + value
    QHash<QString, QString> m_failed;
    QStringList m_problems;
};

} // namespace zostore::components::labels
