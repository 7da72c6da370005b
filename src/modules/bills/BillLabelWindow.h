// A bill's lines put into the counter's label window, so its labels print as any other labels do.
#pragma once

class QString;
class QWidget;

namespace zostore::counter {
class frmPrintLabel;
}

namespace zostore::modules::bills {

// Asks for a label per unit or per line, then shows the label window holding the lines; nullptr when the
// clerk cancels. With a parent the window keeps the parent waiting until it is closed.
counter::frmPrintLabel *openBillLabels(QWidget *parent, const QString &cnstr, int userId, int kind,
                                       int interId);

} // namespace zostore::modules::bills
