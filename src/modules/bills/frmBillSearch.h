// Finding saved bills of one kind and opening one of them.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::ui {
class DatePicker;
class Grid;
} // namespace zostore::ui

namespace zostore::modules::bills {

class frmBillSearch : public QDialog {
    Q_OBJECT
public:
    // Labels: the clerk picks a bill of any kind to print its barcodes; the window closes accepted on it.
    enum class Purpose { Open, Labels };
    frmBillSearch(QString cnstr, int userId, int kind, QWidget *parent = nullptr,
                  Purpose purpose = Purpose::Open);

    ui::DatePicker *dtpFrom = nullptr;
    ui::DatePicker *dtpTo = nullptr;
    QLineEdit *txtBillNo = nullptr;
    QComboBox *cmbPartner = nullptr;
    QComboBox *cmbStock = nullptr;
    QLineEdit *txtItem = nullptr;
    QLabel *lblKind = nullptr; // these two only when picking for labels
    QComboBox *cmbKind = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblTotal = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdClose = nullptr;

    void find();
    // Opens the bill of the current row in its window; the list is read again afterwards.
    void openCurrent();
    // The bill picked for labels.
    int chosenKind() const { return m_kind; }
    int chosenInterId() const { return m_chosen; }

private:
    void build();
    void applyKind(int kind);
    QString m_cnstr;
    int m_userId;
    int m_kind;
    Purpose m_purpose;
    int m_chosen = 0;
};

} // namespace zostore::modules::bills
