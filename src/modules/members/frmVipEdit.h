// One member's form: card, owner, phone, birth date, expiry and state, with the card's movements below.
#pragma once

#include "modules/members/MemberStore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::members {

class frmVipEdit : public QDialog {
    Q_OBJECT
public:
    // vipId 0: a new member.
    frmVipEdit(QString cnstr, int userId, int vipId = 0, QWidget *parent = nullptr);

    QLineEdit *txtCardNo = nullptr;
    QLineEdit *txtOwner = nullptr;
    QLineEdit *txtPhone = nullptr;
    QLineEdit *txtBirthDate = nullptr;
    QLineEdit *txtExpiry = nullptr;
    QComboBox *cmbState = nullptr;
    QLabel *lblJf = nullptr;
    QLabel *lblBalance = nullptr;
    ui::Grid *grdMove = nullptr;
    QPushButton *cmdReserve = nullptr;
    QPushButton *cmdJf = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdCancel = nullptr;

    int memberId() const { return m_id; }
    // True when the member was saved; the form then closes.
    bool save();

private:
    void load();
    void openMoves(bool reserve);

    QString m_cnstr;
    int m_user;
    int m_id;
};

} // namespace zostore::modules::members
