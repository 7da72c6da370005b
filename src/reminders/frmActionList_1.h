// The store chooser of the shortage list: every store, or "(全部仓库)".
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace zostore::reminders {

class frmActionList_1 : public QDialog {
    Q_OBJECT
public:
    explicit frmActionList_1(QWidget *parent = nullptr);

    QComboBox *cmbStock = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;

    bool OK() const { return m_ok; }
    const QString &StockName() const { return m_stockName; }

private:
    bool m_ok = false;
    QString m_stockName;
};

} // namespace zostore::reminders
