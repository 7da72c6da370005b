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
    frmBillSearch(QString cnstr, int userId, int kind, QWidget *parent = nullptr);

    ui::DatePicker *dtpFrom = nullptr;
    ui::DatePicker *dtpTo = nullptr;
    QLineEdit *txtBillNo = nullptr;
    QComboBox *cmbPartner = nullptr;
    QComboBox *cmbStock = nullptr;
    QLineEdit *txtItem = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblTotal = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdClose = nullptr;

    void find();
    // Opens the bill of the current row in its window; the list is read again afterwards.
    void openCurrent();

private:
    void build();
    QString m_cnstr;
    int m_userId;
    int m_kind;
};

} // namespace zostore::modules::bills
