// Printer, paper and offsets for one label format on this workstation.
#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

class QPrinter;

namespace zostore::components::labels {

struct PrinterSetup {
    QString printerName;          // empty: the system's default printer
    QSizeF paperMm{210, 297};     // label stock or sheet size
    QPointF offsetMm;             // the printer's drift, added to every label

    static PrinterSetup load(const QString &formatName);
    void save(const QString &formatName) const;
    // Applies paper and printer; returns false when the named printer is not installed.
    bool applyTo(QPrinter &printer) const;
};

} // namespace zostore::components::labels
