#include "modules/members/frmVipMan.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipEdit.h"
#include "modules/members/frmVipReserve.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::members {

namespace {

enum Col { ColId, ColCard, ColOwner, ColPhone, ColBirth, ColJf, ColBalance, ColExpiry, ColState, ColCount };

} // namespace

frmVipMan::frmVipMan(QString cnstr, int userId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_user(userId) {
    setObjectName(QStringLiteral("frmVipMan"));
    setWindowTitle(QStringLiteral("会员管理"));
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("卡号、姓名或电话的一部分"));
    txtFind->setClearButtonEnabled(true);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("查找(&F)："), this));
    top->addWidget(txtFind, 1);
    top->addWidget(lblCount);

    grdVip = new ui::Grid(this);
    grdVip->setObjectName(QStringLiteral("grdVip"));
    grdVip->setCols(ColCount);
    grdVip->setFixedRows(1);
    const QStringList keys{
        QStringLiteral("FVipID"),   QStringLiteral("FCardNo"),     QStringLiteral("FOwner"),
        QStringLiteral("FPhone"),   QStringLiteral("fbirthdate"),  QStringLiteral("FJf"),
        QStringLiteral("FBalance"), QStringLiteral("FExpiryDate"), QStringLiteral("FState")};
    for (int c = 0; c < ColCount; ++c)
        grdVip->setColKey(c, keys[c]);
    grdVip->setHeaders({QString(), QStringLiteral("会员卡号"), QStringLiteral("会员姓名"),
                        QStringLiteral("电话"), QStringLiteral("生日"), QStringLiteral("积分"),
                        QStringLiteral("储值余额"), QStringLiteral("有效期至"), QStringLiteral("状态")});
    grdVip->setColHidden(ColId, true);
    grdVip->setColAlignment(ColJf, Qt::AlignRight | Qt::AlignVCenter);
    grdVip->setColAlignment(ColBalance, Qt::AlignRight | Qt::AlignVCenter);
    grdVip->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdVip->setSelectionMode(QAbstractItemView::SingleSelection);
    grdVip->horizontalHeader()->setStretchLastSection(true);
    grdVip->installEventFilter(this);
    txtFind->installEventFilter(this);

    cmdAdd = new QPushButton(QStringLiteral("新增(&A)"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdEdit = new QPushButton(QStringLiteral("修改(&E)"), this);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdDelete = new QPushButton(QStringLiteral("删除(&D)"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdReserve = new QPushButton(QStringLiteral("充值(&R)"), this);
    cmdReserve->setObjectName(QStringLiteral("cmdReserve"));
    cmdJf = new QPushButton(QStringLiteral("积分(&J)"), this);
    cmdJf->setObjectName(QStringLiteral("cmdJf"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *bottom = new QHBoxLayout;
    for (QPushButton *b : {cmdAdd, cmdEdit, cmdDelete, cmdReserve, cmdJf}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    cmdClose->setAutoDefault(false);
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(grdVip, 1);
    lay->addLayout(bottom);
    resize(900, 600);

    connect(txtFind, &QLineEdit::textChanged, this, [this] { filter(); });
    connect(grdVip, &QAbstractItemView::doubleClicked, this, [this] { editMember(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { addMember(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { editMember(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { deleteMember(); });
    connect(cmdReserve, &QPushButton::clicked, this, [this] { openMoves(true); });
    connect(cmdJf, &QPushButton::clicked, this, [this] { openMoves(false); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    ui::errorTrap([this] { reload(0); });
}

bool frmVipMan::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        // From the search box, Enter or Down goes into the list; Enter on a row opens it.
        if (watched == txtFind && (enter || key == Qt::Key_Down) && !m_shown.isEmpty()) {
            grdVip->setFocus();
            if (selectedMember() == 0)
                selectMember(m_all[m_shown.first()].id);
            return true;
        }
        if (watched == grdVip && enter) {
            editMember();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int frmVipMan::selectedMember() const {
    const int r = grdVip->currentGridRow();
    return r >= grdVip->fixedRows() ? grdVip->textMatrix(r, ColId).toInt() : 0;
}

bool frmVipMan::selectMember(int vipId) {
    for (int i = 0; i < m_shown.size(); ++i)
        if (m_all[m_shown[i]].id == vipId) {
            grdVip->setCurrentIndex(grdVip->model()->index(i, ColCard));
            return true;
        }
    return false;
}

void frmVipMan::reload(int selectId) {
    db::Connection conn(m_cnstr);
    m_all = MemberStore(conn).listRows();
    filter();
    if (selectId)
        selectMember(selectId);
}

void frmVipMan::filter() {
    const int keep = selectedMember();
    const QString find = txtFind->text().trimmed();
    m_shown.clear();
    QVector<QString> cells;
    cells.reserve(m_all.size() * ColCount);
    for (int i = 0; i < m_all.size(); ++i) {
        const MemberListRow &m = m_all[i];
        if (!find.isEmpty() && !m.cardNo.contains(find, Qt::CaseInsensitive) &&
            !m.owner.contains(find, Qt::CaseInsensitive) && !m.phone.contains(find))
            continue;
        m_shown.append(i);
        cells << m.idText << m.cardNo << m.owner << m.phone << m.birthDate << m.points << m.balance
              << m.expiry << m.state;
    }
    const QSignalBlocker block(grdVip->selectionModel());
    grdVip->setData(static_cast<int>(m_shown.size()), ColCount, std::move(cells));
    if (!m_fitted) {
        grdVip->fitColumns();
        m_fitted = true;
    }
    if (!selectMember(keep) && !m_shown.isEmpty())
        grdVip->setCurrentIndex(grdVip->model()->index(0, ColCard));
    lblCount->setText(QStringLiteral("共 %1 个会员").arg(m_shown.size()));
}

void frmVipMan::addMember() {
    ui::errorTrap([this] {
        frmVipEdit w(m_cnstr, m_user, 0, this);
        if (ui::dialogs().exec(w) == QDialog::Accepted)
            reload(w.memberId());
    });
}

void frmVipMan::editMember() {
    ui::errorTrap([this] {
        const int id = selectedMember();
        if (!id)
            throw Error(QStringLiteral("请先选中一个会员。"));
        frmVipEdit w(m_cnstr, m_user, id, this);
        ui::dialogs().exec(w);
        // The form may have topped up or changed points even when cancelled.
        reload(id);
    });
}

void frmVipMan::deleteMember() {
    ui::errorTrap([this] {
        const int id = selectedMember();
        if (!id)
            throw Error(QStringLiteral("请先选中一个会员。"));
        db::Connection conn(m_cnstr);
        MemberStore store(conn);
        const Member m = store.member(id);
        const bool kept = store.hasHistory(id);
        QString q = QStringLiteral("确实要删除会员“%1”（卡号 %2）吗？").arg(m.owner, m.cardNo);
        if (kept)
            q += QStringLiteral("\n该会员有单据或储值、积分流水：资料将保留并标记为已删除，卡号不能再用。");
        if (ui::dialogs().question(q, ui::Icon::Question, ui::Answer::No) != ui::Answer::Yes)
            return;
        store.remove(id);
        reload(0);
    });
}

void frmVipMan::openMoves(bool reserve) {
    ui::errorTrap([&] {
        const int id = selectedMember();
        if (reserve) {
            frmVipReserve w(m_cnstr, m_user, id, this);
            ui::dialogs().exec(w);
        } else {
            frmChangeJf w(m_cnstr, m_user, id, this);
            ui::dialogs().exec(w);
        }
        reload(id);
    });
}

} // namespace zostore::modules::members
