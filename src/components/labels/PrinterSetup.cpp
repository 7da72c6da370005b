// Kept per workstation: printers and their drift belong to the machine, not to the account set.
#include "components/labels/PrinterSetup.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>

namespace zostore::components::labels {

namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZoStore-Settings"),
                     QStringLiteral("ZoStore"));
}

QString sectionOf(const QString &formatName) {
    // Slashes and backslashes would open sub-sections in the settings file.
    QString key = formatName;
    key.replace(u'/', u'_').replace(u'\\', u'_');
    return QStringLiteral("LabelPrinter/") + key + u'/';
}

} // namespace

PrinterSetup PrinterSetup::load(const QString &formatName) {
    const QSettings s = store();
    const QString sec = sectionOf(formatName);
    PrinterSetup p;
    p.printerName = s.value(sec + QStringLiteral("Printer")).toString();
    p.paperMm = QSizeF(s.value(sec + QStringLiteral("PaperWidth"), p.paperMm.width()).toDouble(),
                       s.value(sec + QStringLiteral("PaperHeight"), p.paperMm.height()).toDouble());
    p.offsetMm = QPointF(s.value(sec + QStringLiteral("OffsetX"), 0).toDouble(),
                         s.value(sec + QStringLiteral("OffsetY"), 0).toDouble());
    if (!(p.paperMm.width() >= 10 && p.paperMm.height() >= 10))
        p.paperMm = QSizeF(210, 297);
    return p;
}

void PrinterSetup::save(const QString &formatName) const {
    QSettings s = store();
    const QString sec = sectionOf(formatName);
    s.setValue(sec + QStringLiteral("Printer"), printerName);
    s.setValue(sec + QStringLiteral("PaperWidth"), paperMm.width());
    s.setValue(sec + QStringLiteral("PaperHeight"), paperMm.height());
    s.setValue(sec + QStringLiteral("OffsetX"), offsetMm.x());
    s.setValue(sec + QStringLiteral("OffsetY"), offsetMm.y());
    s.sync();
}

bool PrinterSetup::applyTo(QPrinter &printer) const {
    bool found = true;
    if (!printerName.isEmpty()) {
        found = !QPrinterInfo::printerInfo(printerName).isNull();
        if (found)
            printer.setPrinterName(printerName);
    }
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(paperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, // the size is given as it feeds, wide or tall
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    return found;
}

} // namespace zostore::components::labels
