// The receipt template window: per store, the template with its line counts and widths, the printer
// commands and this workstation's receipt port, with the receipt as it will print beside the text.
#pragma once

#include "counter/ReceiptTemplateStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace zostore::counter {

class ReceiptPreviewView;

class frmDefPrint : public QDialog {
    Q_OBJECT
public:
    explicit frmDefPrint(QWidget *parent = nullptr);

    QTabWidget *tabs = nullptr;
    QComboBox *cmbStock = nullptr;
    QComboBox *cmbPort = nullptr;
    QLineEdit *txtHdrRows = nullptr;
    QLineEdit *txtTableHdrRows = nullptr;
    QLineEdit *txtBdyRows = nullptr;
    QLineEdit *txtItemNameLen = nullptr;
    QLineEdit *txtBarcodeLen = nullptr;
    QLineEdit *txtAmountLen = nullptr;
    QCheckBox *chkRowHeight = nullptr;
    QPlainTextEdit *txtConText = nullptr;
    QListWidget *lstVariant = nullptr;
    QPlainTextEdit *txtCmd_Beg = nullptr;
    QPlainTextEdit *txtCmd_End = nullptr;
    QPushButton *xpcmdbutton1 = nullptr;
    QPushButton *xpcmdbutton2 = nullptr;
    QSpinBox *spnPaperCols = nullptr;
    ReceiptPreviewView *preview = nullptr;
    QLabel *lblPreviewNote = nullptr;

    // The controls as the template they will save.
    ReceiptTemplate shownTemplate() const;

    static QStringList ports();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    QWidget *buildFormatPage();
    QWidget *buildCommandPage();
    void open();
    void chooseStore();
    void showTemplate(const ReceiptTemplate &t);
    void showVariables();
    void pickVariable(QListWidgetItem *item);
    void save();
    void refreshPreview();

    ReceiptTemplateStore::Sample m_sample;
};

} // namespace zostore::counter
