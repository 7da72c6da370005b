// The stock-limit generation window: span, item range, store, multipliers, and the copy into another account set.
#pragma once

#include "stocklimit/GenerationRequest.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zostore::ui {
class DatePicker;
}
namespace zostore::components {
class SuperTextbox;
}

namespace zostore::stocklimit {

class frmGenMinMaxStock : public QDialog {
    Q_OBJECT
public:
    explicit frmGenMinMaxStock(QWidget *parent = nullptr);

    ui::DatePicker *dtpFromDate = nullptr;
    ui::DatePicker *dtpToDate = nullptr;
    components::SuperTextbox *txtFromItem = nullptr;
    components::SuperTextbox *txtToItem = nullptr;
    components::SuperTextbox *txtStock = nullptr;
    QLineEdit *txt_MinStock = nullptr;
    QLineEdit *txt_MaxStock = nullptr;
    QLineEdit *txt_SafeStock = nullptr;
    std::array<QRadioButton *, 2> opt{};
    QCheckBox *chkExp = nullptr;
    components::SuperTextbox *txtServer = nullptr;
    components::SuperTextbox *txtUser = nullptr;
    components::SuperTextbox *txtPwd = nullptr;
    components::SuperTextbox *txtAccount = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;

    // Generates from the fields, writes the exchange file and, with chkExp, reads it into the target.
    // Generation errors pass to the caller; file errors are shown and the run goes on.
    void GenData();
    // The request the fields describe.
    GenerationRequest request() const;
    // Where the exchange file is written and read.
    static QString exchangeFilePath();
    const QString &targetConnectionString() const { return m_targetCnstr; }

private:
    void build();
    void onOK();
    void onExpClicked();
    void fillAccountList();
    // False when the account is not listed; the target string is kept then.
    bool lookupAccount();

    QString m_targetCnstr;
};

} // namespace zostore::stocklimit
