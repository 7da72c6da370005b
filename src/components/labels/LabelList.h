// The list of items to label: typed or scanned codes, items from a bill, a count per item.
#pragma once

#include "components/labels/LabelItems.h"

#include <QWidget>

class QLineEdit;
class QSpinBox;

namespace zostore::db {
class Recordset;
}
namespace zostore::ui {
class Grid;
}

namespace zostore::components::labels {

class LabelList : public QWidget {
    Q_OBJECT
public:
    explicit LabelList(QWidget *parent = nullptr);

    void init(const QString &cnstr, int userId);
    ui::Grid *grid() const { return m_grid; }

    // Adds the item or, when it is listed already, adds to its count.
    void addItem(const LabelItem &item);
    // Looks the code up; false (and a message) when no item has it.
    bool addCode(const QString &codeOrBarcode, int count = 1);
    void addBill(const QString &billNo);
    void clearList();
    void deleteCurrentRow();
    int itemCount() const;

    // One record per label, placed row by row with perRow labels in each.
    db::Recordset labelData(int perRow) const;

private:
    void addTyped();
    void askBill();
    int rowOf(const QString &number, const QString &barcode) const;

    QString m_cnstr;
    ui::Grid *m_grid;
    QLineEdit *m_code;
    QSpinBox *m_count;
};

} // namespace zostore::components::labels
