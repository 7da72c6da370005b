// Opening stock of the start month, one store at a time: quantity, unit price and amount per item.
#pragma once

#include "modules/init/OpeningStock.h"

#include <QDialog>
#include <QSet>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::init {

class frmInitStock : public QDialog {
    Q_OBJECT
public:
    explicit frmInitStock(QString cnstr, QWidget *parent = nullptr);

    QComboBox *cmbStock = nullptr;
    QLineEdit *txtFind = nullptr;
    QLabel *lblState = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblTotal = nullptr;
    QPushButton *cmdImport = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    int storeId() const;
    bool hasChanges() const { return !m_dirty.isEmpty(); }
    // Writes the changed rows; false when the save was refused (the message is shown).
    bool save();
    // Openings of every store from a spreadsheet the user picks, after the unsaved rows are settled.
    void importFile();
    // Moves to the next row whose code or name contains the text.
    void findNext();

protected:
    void reject() override;

private:
    void build();
    void loadStore();
    void storeChosen(int index);
    void afterEdit(int row, int col);
    void showTotals();
    // Yes saves, No drops the changes, Cancel stays; true when the caller may go on.
    bool settleChanges();

    QString m_cnstr;
    bool m_readOnly = false;
    int m_shownStore = -1;
    QSet<int> m_dirty; // grid rows
};

} // namespace zostore::modules::init
