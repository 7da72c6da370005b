#include "modules/members/frmVipEdit.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/members/MemberMoves.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipReserve.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::members {

namespace {

QString signedFigure(double v, bool points) {
    if (v == 0)
        return QString();
    return (v > 0 ? QStringLiteral("+") : QString()) +
           (points ? MemberStore::pointsText(v) : QString::number(v, 'f', 2));
}

QString dateText(const QDate &d) {
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

} // namespace

frmVipEdit::frmVipEdit(QString cnstr, int userId, int vipId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_user(userId), m_id(vipId) {
    setObjectName(QStringLiteral("frmVipEdit"));
    setWindowTitle(vipId ? QStringLiteral("会员资料") : QStringLiteral("新增会员"));
    auto box = [this](const char *name, int maxLength, const QString &placeholder = {}) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength + 1); // one more, so that a too long text is told, not cut
        e->setPlaceholderText(placeholder);
        return e;
    };
    txtCardNo = box("txtCardNo", MemberStore::CardLength);
    txtOwner = box("txtOwner", MemberStore::OwnerLength);
    txtPhone = box("txtPhone", MemberStore::PhoneLength);
    txtBirthDate = box("txtBirthDate", 10, QStringLiteral("yyyy-MM-dd，生日提醒用"));
    txtExpiry = box("txtExpiry", 10, QStringLiteral("yyyy-MM-dd，空着为长期有效"));
    cmbState = new QComboBox(this);
    cmbState->setObjectName(QStringLiteral("cmbState"));
    for (CardState s : {CardState::InUse, CardState::Disabled, CardState::Lost})
        cmbState->addItem(MemberStore::stateName(s), static_cast<int>(s));
    lblJf = new QLabel(QStringLiteral("0"), this);
    lblJf->setObjectName(QStringLiteral("lblJf"));
    lblBalance = new QLabel(QStringLiteral("0.00"), this);
    lblBalance->setObjectName(QStringLiteral("lblBalance"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("会员卡号(&K)："), txtCardNo);
    form->addRow(QStringLiteral("会员姓名(&N)："), txtOwner);
    form->addRow(QStringLiteral("电话(&P)："), txtPhone);
    form->addRow(QStringLiteral("生日(&B)："), txtBirthDate);
    form->addRow(QStringLiteral("有效期至(&E)："), txtExpiry);
    form->addRow(QStringLiteral("状态(&T)："), cmbState);
    form->addRow(QStringLiteral("积分："), lblJf);
    form->addRow(QStringLiteral("储值余额："), lblBalance);

    grdMove = new ui::Grid(this);
    grdMove->setObjectName(QStringLiteral("grdMove"));
    grdMove->setCols(8);
    grdMove->setFixedRows(1);
    const QStringList keys{QStringLiteral("FDate"),     QStringLiteral("FType"),
                           QStringLiteral("FJf"),       QStringLiteral("FAmount"),
                           QStringLiteral("FJfAfter"),  QStringLiteral("FBalanceAfter"),
                           QStringLiteral("FUserName"), QStringLiteral("FReason")};
    for (int c = 0; c < keys.size(); ++c)
        grdMove->setColKey(c, keys[c]);
    grdMove->setHeaders({QStringLiteral("日期"), QStringLiteral("类别"), QStringLiteral("积分"),
                         QStringLiteral("储值"), QStringLiteral("积分余额"), QStringLiteral("储值余额"),
                         QStringLiteral("操作员"), QStringLiteral("原因")});
    for (int c = 2; c <= 5; ++c)
        grdMove->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    grdMove->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdMove->horizontalHeader()->setStretchLastSection(true);

    cmdReserve = new QPushButton(QStringLiteral("充值(&R)..."), this);
    cmdReserve->setObjectName(QStringLiteral("cmdReserve"));
    cmdJf = new QPushButton(QStringLiteral("积分(&J)..."), this);
    cmdJf->setObjectName(QStringLiteral("cmdJf"));
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton *b : {cmdReserve, cmdJf, cmdCancel})
        b->setAutoDefault(false);
    cmdSave->setDefault(true);
    cmdReserve->setEnabled(vipId != 0);
    cmdJf->setEnabled(vipId != 0);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cmdReserve);
    bottom->addWidget(cmdJf);
    bottom->addStretch(1);
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdCancel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(new QLabel(QStringLiteral("储值和积分流水："), this));
    lay->addWidget(grdMove, 1);
    lay->addLayout(bottom);
    resize(760, 560);

    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdReserve, &QPushButton::clicked, this, [this] { openMoves(true); });
    connect(cmdJf, &QPushButton::clicked, this, [this] { openMoves(false); });
    ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        if (const int len = MemberStore(conn).cardLength())
            txtCardNo->setPlaceholderText(QStringLiteral("%1 位数字或字母").arg(len));
        if (m_id)
            load();
    });
}

void frmVipEdit::load() {
    db::Connection conn(m_cnstr);
    const Member m = MemberStore(conn).member(m_id);
    txtCardNo->setText(m.cardNo);
    txtOwner->setText(m.owner);
    txtPhone->setText(m.phone);
    txtBirthDate->setText(dateText(m.birthDate));
    txtExpiry->setText(dateText(m.expiry));
    cmbState->setCurrentIndex(cmbState->findData(static_cast<int>(m.state)));
    lblJf->setText(MemberStore::pointsText(m.points));
    lblBalance->setText(QString::number(m.balance, 'f', 2));
    const QList<Move> moves = MemberMoves(conn, m_user).history(m_id);
    QVector<QString> cells;
    cells.reserve(moves.size() * 8);
    for (const Move &mv : moves)
        cells << mv.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << MemberMoves::typeName(mv.type)
              << signedFigure(mv.points, true) << signedFigure(mv.amount, false)
              << MemberStore::pointsText(mv.pointsAfter) << QString::number(mv.balanceAfter, 'f', 2)
              << mv.user << mv.reason;
    grdMove->setData(moves.size(), 8, std::move(cells));
    grdMove->fitColumns();
}

void frmVipEdit::openMoves(bool reserve) {
    ui::errorTrap([&] {
        if (reserve) {
            frmVipReserve w(m_cnstr, m_user, m_id, this);
            ui::dialogs().exec(w);
        } else {
            frmChangeJf w(m_cnstr, m_user, m_id, this);
            ui::dialogs().exec(w);
        }
        load();
    });
}

bool frmVipEdit::save() {
    return ui::errorTrap([this] {
        MemberInput in;
        in.cardNo = txtCardNo->text();
        in.owner = txtOwner->text();
        in.phone = txtPhone->text();
        in.birthDate = MemberStore::date(txtBirthDate->text(), QStringLiteral("生日"));
        in.expiry = MemberStore::date(txtExpiry->text(), QStringLiteral("有效期"));
        in.state = static_cast<CardState>(cmbState->currentData().toInt());
        db::Connection conn(m_cnstr);
        MemberStore store(conn);
        if (m_id)
            store.update(m_id, in);
        else
            m_id = store.add(in);
        accept();
    });
}

} // namespace zostore::modules::members
