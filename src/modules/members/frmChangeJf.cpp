#include "modules/members/frmChangeJf.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/members/CardLookup.h"
#include "modules/members/MoveDialogFrame.h"
#include "ui/ErrorTrap.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace zostore::modules::members {

namespace {
const QString AdjustReason = QStringLiteral("积分调整");
const QString ExchangeReason = QStringLiteral("积分兑换");

QString figure(double v) {
    return QString::number(v, 'f', 2);
}
} // namespace

frmChangeJf::frmChangeJf(QString cnstr, int userId, int vipId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_user(userId) {
    setObjectName(QStringLiteral("frmChangeJf"));
    setWindowTitle(QStringLiteral("积分调整"));
    card = new CardLookup(m_cnstr, this);
    optAdjust = new QRadioButton(QStringLiteral("调整积分(&J)"), this);
    optAdjust->setObjectName(QStringLiteral("optAdjust"));
    optAdjust->setChecked(true);
    optExchange = new QRadioButton(QStringLiteral("积分兑换储值(&E)"), this);
    optExchange->setObjectName(QStringLiteral("optExchange"));
    auto *kind = new QHBoxLayout;
    kind->addWidget(optAdjust);
    kind->addWidget(optExchange);
    kind->addStretch(1);
    txtPoints = new QLineEdit(this);
    txtPoints->setObjectName(QStringLiteral("txtPoints"));
    txtPoints->setAlignment(Qt::AlignRight);
    txtPoints->setPlaceholderText(QStringLiteral("加分为正，扣分为负"));
    cmbStep = new QComboBox(this);
    cmbStep->setObjectName(QStringLiteral("cmbStep"));
    txtCount = new QLineEdit(QStringLiteral("1"), this);
    txtCount->setObjectName(QStringLiteral("txtCount"));
    txtCount->setAlignment(Qt::AlignRight);
    lblExchange = new QLabel(this);
    lblExchange->setObjectName(QStringLiteral("lblExchange"));
    txtReason = new QLineEdit(AdjustReason, this);
    txtReason->setObjectName(QStringLiteral("txtReason"));
    txtReason->setMaxLength(MemberMoves::ReasonLength + 1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("类别："), kind);
    form->addRow(QStringLiteral("调整积分(&P)："), txtPoints);
    form->addRow(QStringLiteral("兑换档次(&D)："), cmbStep);
    form->addRow(QStringLiteral("兑换份数(&N)："), txtCount);
    form->addRow(QString(), lblExchange);
    form->addRow(QStringLiteral("原因(&Y)："), txtReason);
    const MoveDialogFrame frame = layOutMoveDialog(*this, card, form);
    lblResult = frame.lblResult;
    cmdSave = frame.cmdSave;
    cmdClose = frame.cmdClose;
    resize(560, 360);

    ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        m_steps = MemberMoves(conn, m_user).exchangeSteps();
    });
    for (const ExchangeStep &s : m_steps)
        cmbStep->addItem(
            QStringLiteral("%1 分换 %2 元").arg(MemberStore::pointsText(s.points), figure(s.amount)));
    optExchange->setEnabled(!m_steps.isEmpty());
    if (m_steps.isEmpty())
        optExchange->setToolTip(QStringLiteral("积分换金额表是空的：在“设置参数”的“积分换金额”里设置。"));
    kindChanged();

    connect(card, &CardLookup::found, this, [this] {
        QLineEdit *next = optAdjust->isChecked() ? txtPoints : txtCount;
        next->setFocus();
        next->selectAll();
    });
    for (QLineEdit *box : {txtPoints, txtCount})
        connect(box, &QLineEdit::returnPressed, this, [this] {
            txtReason->setFocus();
            txtReason->selectAll();
        });
    connect(txtReason, &QLineEdit::returnPressed, this, [this] { save(); });
    connect(optAdjust, &QRadioButton::toggled, this, [this] { kindChanged(); });
    connect(cmbStep, &QComboBox::currentIndexChanged, this, [this] { showExchange(); });
    connect(txtCount, &QLineEdit::textChanged, this, [this] { showExchange(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    if (vipId > 0)
        ui::errorTrap([this, vipId] { card->showMember(vipId); });
}

void frmChangeJf::kindChanged() {
    const bool adjust = optAdjust->isChecked();
    txtPoints->setEnabled(adjust);
    cmbStep->setEnabled(!adjust);
    txtCount->setEnabled(!adjust);
    const QString reason = txtReason->text().trimmed();
    if (reason.isEmpty() || reason == AdjustReason || reason == ExchangeReason)
        txtReason->setText(adjust ? AdjustReason : ExchangeReason);
    setWindowTitle(adjust ? QStringLiteral("积分调整") : QStringLiteral("积分兑换"));
    showExchange();
}

void frmChangeJf::showExchange() {
    const int i = cmbStep->currentIndex();
    bool ok = false;
    const int n = txtCount->text().trimmed().toInt(&ok);
    if (optAdjust->isChecked() || i < 0 || !ok || n < 1) {
        lblExchange->clear();
        return;
    }
    lblExchange->setText(
        QStringLiteral("扣 %1 分，存入储值 %2 元")
            .arg(MemberStore::pointsText(m_steps[i].points * n), figure(m_steps[i].amount * n)));
}

bool frmChangeJf::save() {
    return ui::errorTrap([this] {
        if (!card->member())
            card->lookUp();
        db::Connection conn(m_cnstr);
        MemberMoves moves(conn, m_user);
        const int id = card->member()->id;
        Move mv;
        if (optAdjust->isChecked()) {
            mv = moves.adjustPoints(id, MemberMoves::number(txtPoints->text(), QStringLiteral("调整积分")),
                                    txtReason->text());
        } else {
            const double n = MemberMoves::number(txtCount->text(), QStringLiteral("兑换份数"));
            if (n != static_cast<int>(n))
                throw Error(QStringLiteral("兑换份数必须是整数。"));
            const int i = cmbStep->currentIndex();
            if (i < 0)
                throw Error(QStringLiteral("请选择兑换档次。"));
            mv = moves.exchange(id, m_steps[i].points, static_cast<int>(n), txtReason->text());
        }
        card->refresh();
        lblResult->setText(
            mv.type == MoveType::PointsExchange
                ? QStringLiteral("已兑换 %1 分，存入储值 %2 元；积分余 %3 分，储值余额 %4 元。")
                      .arg(MemberStore::pointsText(-mv.points), figure(mv.amount),
                           MemberStore::pointsText(mv.pointsAfter), figure(mv.balanceAfter))
                : QStringLiteral("积分已%1 %2 分，积分余 %3 分。")
                      .arg(mv.points > 0 ? QStringLiteral("增加") : QStringLiteral("扣除"),
                           MemberStore::pointsText(std::abs(mv.points)),
                           MemberStore::pointsText(mv.pointsAfter)));
        txtPoints->clear();
        txtCount->setText(QStringLiteral("1"));
        card->txtCardNo->setFocus();
        card->txtCardNo->selectAll();
    });
}

} // namespace zostore::modules::members
