// Top-up and refund of a member's stored value, card after card.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zostore::modules::members {

class CardLookup;

class frmVipReserve : public QDialog {
    Q_OBJECT
public:
    frmVipReserve(QString cnstr, int userId, int vipId = 0, QWidget *parent = nullptr);

    CardLookup *card = nullptr;
    QRadioButton *optTopUp = nullptr;
    QRadioButton *optRefund = nullptr;
    QLineEdit *txtAmount = nullptr;
    QLineEdit *txtReason = nullptr;
    QLabel *lblResult = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    // True when the movement was saved.
    bool save();

private:
    void kindChanged();

    QString m_cnstr;
    int m_user;
};

} // namespace zostore::modules::members
