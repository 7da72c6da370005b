// One item's form: every field of the item file, its sale prices and its extra barcodes.
#pragma once

#include "modules/items/ItemStore.h"

#include <QDialog>
#include <QMap>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::items {

class frmItemEdit : public QDialog {
    Q_OBJECT
public:
    // itemId 0 starts a new item in groupId.
    frmItemEdit(QString cnstr, int itemId, int groupId, QWidget *parent = nullptr);

    QLineEdit *txtNumber = nullptr;
    QLineEdit *txtName = nullptr;
    QLineEdit *txtModel = nullptr;
    QLineEdit *txtUnit = nullptr;
    QLineEdit *txtExchange = nullptr;
    QComboBox *cmbGroup = nullptr;
    QLineEdit *txtQuickNum = nullptr;
    QLineEdit *txtShopNumber = nullptr;
    QLineEdit *txtBarcode = nullptr;
    QLineEdit *txtPurPrice = nullptr;
    QLineEdit *txtCostPrice = nullptr;
    QMap<int, QLineEdit *> txtPrice;     // price style -> box
    QMap<QString, QLineEdit *> txtExtra; // t_ItemDetail field -> box
    ui::Grid *FlexBarcode = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    int savedId() const { return m_savedId; }
    // Gathers the form and saves it; false (with the message shown) when anything is refused.
    bool save();

private:
    void load();
    ItemInput input() const;

    QString m_cnstr;
    int m_itemId;
    int m_groupId;
    int m_savedId = 0;
    QList<PriceStyle> m_styles;
};

} // namespace zostore::modules::items
