// Points of a member: an adjustment up or down, or an exchange of points for stored value.
#pragma once

#include "modules/members/MemberMoves.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zostore::modules::members {

class CardLookup;

class frmChangeJf : public QDialog {
    Q_OBJECT
public:
    frmChangeJf(QString cnstr, int userId, int vipId = 0, QWidget *parent = nullptr);

    CardLookup *card = nullptr;
    QRadioButton *optAdjust = nullptr;
    QRadioButton *optExchange = nullptr;
    QLineEdit *txtPoints = nullptr;
    QComboBox *cmbStep = nullptr;
    QLineEdit *txtCount = nullptr;
    QLabel *lblExchange = nullptr;
    QLineEdit *txtReason = nullptr;
    QLabel *lblResult = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    bool save();

private:
    void kindChanged();
    void showExchange();

    QString m_cnstr;
    int m_user;
    QList<ExchangeStep> m_steps;
};

} // namespace zostore::modules::members
