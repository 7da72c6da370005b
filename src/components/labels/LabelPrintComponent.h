// ZoTdPrinter.Printer: prints labels, or a bill, with a stored print format — printer, preview or PDF.
#pragma once

#include "components/Component.h"
#include "components/labels/LabelSheet.h"
#include "components/labels/PrinterSetup.h"

#include <QSharedPointer>

namespace zostore::db {
class Recordset;
}

namespace zostore::components::labels {

class LabelPrintComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("ZoTdPrinter.Printer");
    LabelPrintComponent();

    // printNow: straight to the printer; askPrinter: the print dialog first; otherwise preview decides.
    void DoPrint(bool printNow, const QString &cnstr, int tranType, bool askPrinter, bool preview,
                 const QSharedPointer<db::Recordset> &labels, const QString &formatName);
    int pageCount() const { return m_pages; }

    // The run written to a PDF file at the given resolution; returns its pages. Throws when it cannot be written.
    static int writePdf(const QString &path, const LabelFormat &format, const QList<LabelData> &labels,
                        const PrinterSetup &setup, int dpi = 600);

private:
    int m_pages = 0;
};

} // namespace zostore::components::labels
