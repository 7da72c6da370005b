#include "modules/members/frmVipReserve.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/members/CardLookup.h"
#include "modules/members/MemberMoves.h"
#include "modules/members/MoveDialogFrame.h"
#include "ui/ErrorTrap.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace zostore::modules::members {

namespace {
const QString TopUpReason = QStringLiteral("会员充值");
const QString RefundReason = QStringLiteral("退还储值");
} // namespace

frmVipReserve::frmVipReserve(QString cnstr, int userId, int vipId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_user(userId) {
    setObjectName(QStringLiteral("frmVipReserve"));
    setWindowTitle(QStringLiteral("会员充值"));
    card = new CardLookup(m_cnstr, this);
    optTopUp = new QRadioButton(QStringLiteral("充值(&T)"), this);
    optTopUp->setObjectName(QStringLiteral("optTopUp"));
    optTopUp->setChecked(true);
    optRefund = new QRadioButton(QStringLiteral("退款(&R)"), this);
    optRefund->setObjectName(QStringLiteral("optRefund"));
    auto *kind = new QHBoxLayout;
    kind->addWidget(optTopUp);
    kind->addWidget(optRefund);
    kind->addStretch(1);
    txtAmount = new QLineEdit(this);
    txtAmount->setObjectName(QStringLiteral("txtAmount"));
    txtAmount->setAlignment(Qt::AlignRight);
    txtReason = new QLineEdit(TopUpReason, this);
    txtReason->setObjectName(QStringLiteral("txtReason"));
    txtReason->setMaxLength(MemberMoves::ReasonLength + 1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("类别："), kind);
    form->addRow(QStringLiteral("金额(&A)："), txtAmount);
    form->addRow(QStringLiteral("原因(&Y)："), txtReason);
    const MoveDialogFrame frame = layOutMoveDialog(*this, card, form);
    lblResult = frame.lblResult;
    cmdSave = frame.cmdSave;
    cmdClose = frame.cmdClose;
    resize(560, 300);

    connect(card, &CardLookup::found, this, [this] {
        txtAmount->setFocus();
        txtAmount->selectAll();
    });
    connect(txtAmount, &QLineEdit::returnPressed, this, [this] {
        txtReason->setFocus();
        txtReason->selectAll();
    });
    connect(txtReason, &QLineEdit::returnPressed, this, [this] { save(); });
    connect(optTopUp, &QRadioButton::toggled, this, [this] { kindChanged(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    if (vipId > 0)
        ui::errorTrap([this, vipId] { card->showMember(vipId); });
}

void frmVipReserve::kindChanged() {
    // The default reason follows the kind until the clerk writes his own.
    const QString reason = txtReason->text().trimmed();
    if (reason.isEmpty() || reason == TopUpReason || reason == RefundReason)
        txtReason->setText(optTopUp->isChecked() ? TopUpReason : RefundReason);
    setWindowTitle(optTopUp->isChecked() ? QStringLiteral("会员充值") : QStringLiteral("会员退款"));
}

bool frmVipReserve::save() {
    return ui::errorTrap([this] {
        if (!card->member())
            card->lookUp();
        const bool topUp = optTopUp->isChecked();
        const double amount = MemberMoves::number(txtAmount->text(), topUp ? QStringLiteral("充值金额")
                                                                           : QStringLiteral("退款金额"));
        db::Connection conn(m_cnstr);
        MemberMoves moves(conn, m_user);
        const int id = card->member()->id;
        const Move mv =
            topUp ? moves.topUp(id, amount, txtReason->text()) : moves.refund(id, amount, txtReason->text());
        card->refresh();
        lblResult->setText(QStringLiteral("%1 %2 元，储值余额 %3 元。")
                               .arg(topUp ? QStringLiteral("已充值") : QStringLiteral("已退款"),
                                    QString::number(std::abs(mv.amount), 'f', 2),
                                    QString::number(mv.balanceAfter, 'f', 2)));
        txtAmount->clear();
        card->txtCardNo->setFocus();
        card->txtCardNo->selectAll();
    });
}

} // namespace zostore::modules::members
