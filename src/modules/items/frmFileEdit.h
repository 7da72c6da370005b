// The form of one store, price style, supplier, customer or employee.
#pragma once

#include "modules/items/FileStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zostore::modules::items {

class frmFileEdit : public QDialog {
    Q_OBJECT
public:
    frmFileEdit(QString cnstr, FileKind kind, int id, QWidget *parent = nullptr);

    QLineEdit *txtNumber = nullptr;
    QLineEdit *txtName = nullptr;
    QLineEdit *txtPhone = nullptr;      // suppliers, customers, employees
    QLineEdit *txtAddress = nullptr;    // suppliers, customers
    QCheckBox *chkVirtual = nullptr;    // stores
    QComboBox *cmbPriceStyle = nullptr; // stores
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    int savedId() const { return m_id; }
    bool save();

private:
    QString m_cnstr;
    FileKind m_kind;
    int m_id;
};

} // namespace zostore::modules::items
