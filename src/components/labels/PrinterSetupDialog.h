// Printer, paper and offsets of each label format on this workstation.
#pragma once

#include "components/labels/PrinterSetup.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QListWidget;

namespace zostore::components::labels {

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    // formats: the names of the account set's label formats.
    PrinterSetupDialog(const QStringList &formats, QWidget *parent = nullptr);

    QListWidget *lstFormats;
    QComboBox *cmbPrinter;
    QDoubleSpinBox *txtPaperWidth, *txtPaperHeight, *txtOffsetX, *txtOffsetY;

    void showSetup(const QString &format);
    // Stores the shown setup for the format shown.
    bool saveShown();

private:
    QString m_shown;
};

} // namespace zostore::components::labels
