// One bill on screen: header, lines entered by code, barcode or the item picker, totals.
#pragma once

#include "modules/bills/Bill.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::db {
class Connection;
}
namespace zostore::components::items {
class ItemLookup;
class ItemPicker;
} // namespace zostore::components::items
namespace zostore::ui {
class DatePicker;
class Grid;
} // namespace zostore::ui

namespace zostore::modules::bills {

class frmBill : public QDialog {
    Q_OBJECT
public:
    // interId 0 starts a new bill.
    frmBill(QString cnstr, int userId, int kind, int interId = 0, QWidget *parent = nullptr);
    ~frmBill() override;

    QLabel *lblTitle = nullptr;
    QLineEdit *txtBillNo = nullptr;
    ui::DatePicker *dtpDate = nullptr;
    QComboBox *cmbSupplier = nullptr;
    QComboBox *cmbOutStock = nullptr;
    QComboBox *cmbInStock = nullptr;
    QComboBox *cmbEmp = nullptr;
    QLineEdit *txtRemark = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblTotal = nullptr;
    QLabel *lblState = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdBarcode = nullptr;
    QPushButton *cmdFromOrder = nullptr;
    QPushButton *cmdPicker = nullptr;
    QPushButton *cmdDelLine = nullptr;
    QPushButton *cmdClose = nullptr;

    int kind() const { return m_bill.kind; }
    int interId() const { return m_bill.interId; }
    // Saves after the checks and questions; true when saved.
    bool save();
    void newBill();
    void deleteBill();
    // By one of the kind's print formats when it has any (the clerk picks, the preferred one offered
    // first), else by the grid printer.
    void print();
    // The open lines of a purchase order, as a receipt.
    void fillFromOrder(int orderInterId);
    // Items chosen in the picker, one line each from the current row on.
    void enterCodes(const QStringList &codes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void gridPrint();
    void loadLists();
    void showBill(const Bill &b);
    Bill gather() const;
    void afterEdit(int row, int col);
    bool enterItem(int row, const QString &text);
    void recalc(int row);
    void showTotals();
    void goTo(int row, const QString &key);
    void ensureSpareRow();
    void openPicker();
    void chooseOrder();
    db::Connection &lookupConnection();
    components::items::ItemLookup &lookup();

    QString m_cnstr;
    int m_userId;
    Bill m_bill;
    bool m_readOnly = false;
    bool m_quiet = false;
    // Where the cursor goes once the editor that was just committed has closed.
    int m_nextRow = -1;
    QString m_nextKey;
    std::unique_ptr<db::Connection> m_conn;
    std::unique_ptr<components::items::ItemLookup> m_lookup;
    std::unique_ptr<components::items::ItemPicker> m_picker;
};

} // namespace zostore::modules::bills
