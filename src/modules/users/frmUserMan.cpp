#include "modules/users/frmUserMan.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/users/Grants.h"
#include "modules/users/UserStore.h"
#include "modules/users/frmUserEdit.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace zostore::modules::users {

namespace {

enum Col { ColId, ColName, ColManager, ColDisabled, ColDescription, ColCount };
constexpr int CodeRole = Qt::UserRole;

QString yes(bool on) {
    return on ? QStringLiteral("是") : QString();
}

} // namespace

frmUserMan::frmUserMan(QString cnstr, int loggedInUserId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_self(loggedInUserId) {
    setObjectName(QStringLiteral("frmUserMan"));
    setWindowTitle(QStringLiteral("用户管理"));
    grdUser = new ui::Grid(this);
    grdUser->setObjectName(QStringLiteral("grdUser"));
    grdUser->setCols(ColCount);
    grdUser->setFixedRows(1);
    const QStringList keys{QStringLiteral("FUserID"), QStringLiteral("FName"), QStringLiteral("FManager"),
                           QStringLiteral("FDisabled"), QStringLiteral("FDescription")};
    for (int c = 0; c < ColCount; ++c)
        grdUser->setColKey(c, keys[c]);
    grdUser->setHeaders({QString(), QStringLiteral("用户名"), QStringLiteral("管理员"),
                         QStringLiteral("停用"), QStringLiteral("说明")});
    grdUser->setColHidden(ColId, true);
    grdUser->setEditable(true);
    for (int c = 0; c < ColDescription; ++c)
        grdUser->setColEditable(c, false);
    grdUser->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdUser->setSelectionMode(QAbstractItemView::SingleSelection);
    grdUser->horizontalHeader()->setStretchLastSection(true);

    cmdAdd = new QPushButton(QStringLiteral("新增(&A)"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdRename = new QPushButton(QStringLiteral("改名(&R)"), this);
    cmdRename->setObjectName(QStringLiteral("cmdRename"));
    cmdManager = new QPushButton(QStringLiteral("设为管理员(&M)"), this);
    cmdManager->setObjectName(QStringLiteral("cmdManager"));
    cmdDisable = new QPushButton(QStringLiteral("停用(&D)"), this);
    cmdDisable->setObjectName(QStringLiteral("cmdDisable"));
    cmdDelete = new QPushButton(QStringLiteral("删除(&X)"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdPassword = new QPushButton(QStringLiteral("设置密码(&P)"), this);
    cmdPassword->setObjectName(QStringLiteral("cmdPassword"));
    auto *userButtons = new QGridLayout;
    const QList<QPushButton *> ub{cmdAdd, cmdRename, cmdManager, cmdDisable, cmdDelete, cmdPassword};
    for (int i = 0; i < ub.size(); ++i)
        userButtons->addWidget(ub[i], i / 3, i % 3);
    auto *left = new QVBoxLayout;
    left->addWidget(grdUser, 1);
    left->addLayout(userButtons);

    lblRight = new QLabel(this);
    lblRight->setWordWrap(true);
    tvwRight = new QTreeWidget(this);
    tvwRight->setObjectName(QStringLiteral("tvwRight"));
    tvwRight->setColumnCount(2);
    tvwRight->setHeaderLabels({QStringLiteral("权限"), QStringLiteral("代码")});
    tvwRight->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvwRight->header()->setStretchLastSection(false);
    cboCopyFrom = new QComboBox(this);
    cboCopyFrom->setObjectName(QStringLiteral("cboCopyFrom"));
    cmdCopy = new QPushButton(QStringLiteral("复制权限(&C)"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdSave = new QPushButton(QStringLiteral("保存权限(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&Q)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *copyRow = new QHBoxLayout;
    copyRow->addWidget(new QLabel(QStringLiteral("从用户"), this));
    copyRow->addWidget(cboCopyFrom, 1);
    copyRow->addWidget(cmdCopy);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdClose);
    auto *right = new QVBoxLayout;
    right->addWidget(lblRight);
    right->addWidget(tvwRight, 1);
    right->addLayout(copyRow);
    right->addLayout(bottom);

    auto *lay = new QHBoxLayout(this);
    lay->addLayout(left, 5);
    lay->addLayout(right, 4);
    resize(900, 600);

    connect(cmdAdd, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { addUser(); }); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { renameUser(); }); });
    connect(cmdManager, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { toggleManager(); }); });
    connect(cmdDisable, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { toggleDisabled(); }); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { deleteUser(); }); });
    connect(cmdPassword, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { setPassword(); }); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { copyRights(); }); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { saveRights(); });
    connect(cmdClose, &QPushButton::clicked, this, &frmUserMan::reject);
    connect(grdUser, &ui::Grid::afterEdit, this,
            [this](int r, int c) { ui::errorTrap([this, r, c] { descriptionEdited(r, c); }); });
    connect(tvwRight, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *, int col) {
        if (!m_filling && col == 0) {
            m_dirty = true;
            cmdSave->setEnabled(true);
        }
    });
    ui::errorTrap([this] {
        buildTree();
        loadUsers(m_self);
    });
    connect(grdUser->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ui::errorTrap([this] { showUser(); }); });
}

int frmUserMan::selectedUser() const {
    const int r = grdUser->currentGridRow();
    return r >= grdUser->fixedRows() ? grdUser->textMatrix(r, ColId).toInt() : 0;
}

bool frmUserMan::selectUser(int userId) {
    for (int r = grdUser->fixedRows(); r < grdUser->rows(); ++r)
        if (grdUser->textMatrix(r, ColId).toInt() == userId) {
            grdUser->setCurrentIndex(grdUser->model()->index(r - grdUser->fixedRows(), ColName));
            return true;
        }
    return false;
}

void frmUserMan::loadUsers(int selectId) {
    db::Connection conn(m_cnstr);
    const QList<UserRow> list = UserStore(conn, m_self).users();
    QVector<QString> cells;
    for (const UserRow &u : list)
        cells << QString::number(u.id) << u.name << yes(u.manager) << yes(u.disabled) << u.description;
    const QSignalBlocker block(grdUser->selectionModel());
    grdUser->setData(list.size(), ColCount, std::move(cells));
    grdUser->fitColumns();
    m_users = list;
    if (!selectUser(selectId) && !list.isEmpty())
        selectUser(list.first().id);
    showUser();
}

// Other clerks only: a manager's rows say nothing, and copying from oneself changes nothing.
void frmUserMan::fillCopyFrom() {
    const QString keep = cboCopyFrom->currentText();
    cboCopyFrom->clear();
    for (const UserRow &u : m_users)
        if (!u.manager && u.id != m_shownUser)
            cboCopyFrom->addItem(u.name, u.id);
    cboCopyFrom->setCurrentIndex(std::max(0, cboCopyFrom->findText(keep)));
}

void frmUserMan::buildTree() {
    db::Connection conn(m_cnstr);
    m_tree = rightsTree(conn);
    m_filling = true;
    tvwRight->clear();
    std::function<void(QTreeWidgetItem *, const RightNode &)> add = [&](QTreeWidgetItem *item,
                                                                        const RightNode &n) {
        item->setText(0, n.caption);
        item->setText(1, n.code);
        item->setData(0, CodeRole, n.code);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable |
                       (n.children.isEmpty() ? Qt::ItemFlags() : Qt::ItemIsAutoTristate));
        item->setCheckState(0, Qt::Unchecked);
        for (const RightNode &c : n.children)
            add(new QTreeWidgetItem(item), c);
    };
    for (const RightNode &n : m_tree)
        add(new QTreeWidgetItem(tvwRight), n);
    tvwRight->expandToDepth(0);
    tvwRight->resizeColumnToContents(1);
    m_filling = false;
}

QTreeWidgetItem *frmUserMan::rightItem(const QString &code) const {
    for (QTreeWidgetItemIterator it(tvwRight); *it; ++it)
        if ((*it)->data(0, CodeRole).toString() == code)
            return *it;
    return nullptr;
}

QSet<QString> frmUserMan::tickedCodes() const {
    QSet<QString> out;
    for (QTreeWidgetItemIterator it(tvwRight); *it; ++it) {
        const QString code = (*it)->data(0, CodeRole).toString();
        if (!code.isEmpty() && (*it)->checkState(0) == Qt::Checked)
            out.insert(code);
    }
    return out;
}

void frmUserMan::showRights(const QSet<QString> &granted) {
    m_filling = true;
    for (QTreeWidgetItemIterator it(tvwRight); *it; ++it) {
        const QString code = (*it)->data(0, CodeRole).toString();
        if (!code.isEmpty())
            (*it)->setCheckState(0, granted.contains(code) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void frmUserMan::showUser() {
    const int previous = m_shownUser;
    if (m_dirty && previous != selectedUser() && !settleRights()) {
        const QSignalBlocker block(grdUser->selectionModel());
        selectUser(previous);
        return;
    }
    m_shownUser = selectedUser();
    m_dirty = false;
    const bool any = m_shownUser != 0;
    UserRow u;
    db::Connection conn(m_cnstr);
    if (any)
        u = UserStore(conn, m_self).user(m_shownUser);
    cmdManager->setText(u.manager ? QStringLiteral("取消管理员(&M)") : QStringLiteral("设为管理员(&M)"));
    cmdDisable->setText(u.disabled ? QStringLiteral("启用(&E)") : QStringLiteral("停用(&D)"));
    for (QPushButton *b : {cmdRename, cmdManager, cmdDisable, cmdDelete, cmdPassword})
        b->setEnabled(any);
    const bool editable = any && !u.manager;
    fillCopyFrom();
    tvwRight->setEnabled(editable);
    cmdCopy->setEnabled(editable && cboCopyFrom->count() > 0);
    cmdSave->setEnabled(false);
    if (!any)
        lblRight->setText(QStringLiteral("没有用户。"));
    else if (u.manager)
        lblRight->setText(QStringLiteral("“%1”是管理员，拥有全部权限，不用逐项设置。").arg(u.name));
    else
        lblRight->setText(QStringLiteral("“%1”的权限：勾选的功能他可以使用，改完按“保存权限”。").arg(u.name));
    showRights(editable ? Grants::granted(conn, m_shownUser) : QSet<QString>());
}

bool frmUserMan::settleRights() {
    const ui::Answer a = ui::dialogs().questionWithCancel(QStringLiteral("权限已修改，是否保存？"));
    if (a == ui::Answer::Cancel)
        return false;
    if (a == ui::Answer::Yes)
        return saveRights();
    m_dirty = false;
    return true;
}

bool frmUserMan::saveRights() {
    return ui::errorTrap([this] {
               if (m_shownUser == 0)
                   return;
               const QSet<QString> ticked = tickedCodes();
               QMap<QString, bool> codes;
               for (const QString &c : rightCodes(m_tree))
                   codes.insert(c, ticked.contains(c));
               db::Connection conn(m_cnstr);
               Grants::write(conn, m_shownUser, codes);
               m_dirty = false;
               cmdSave->setEnabled(false);
           }) &&
           !m_dirty;
}

void frmUserMan::addUser() {
    if (m_dirty && !settleRights())
        return;
    frmUserEdit w(frmUserEdit::Mode::NewUser, QString(), this);
    // The window stays open until its input is accepted or the user cancels.
    while (ui::dialogs().exec(w) == QDialog::Accepted) {
        int id = 0;
        if (!ui::errorTrap([&] {
                db::Connection conn(m_cnstr);
                id = UserStore(conn, m_self)
                         .addUser(w.txtName->text(), w.txtPassword->text(), w.txtConfirm->text(),
                                  w.chkManager->isChecked(), w.txtDescription->text());
            }))
            continue;
        loadUsers(id);
        return;
    }
}

void frmUserMan::renameUser() {
    const int id = selectedUser();
    db::Connection conn(m_cnstr);
    UserStore store(conn, m_self);
    const UserRow u = store.user(id);
    const std::optional<QString> name = ui::dialogs().inputBox(QStringLiteral("“%1”的新用户名：").arg(u.name),
                                                               QStringLiteral("改名"), u.name);
    if (!name || name->trimmed() == u.name)
        return;
    store.rename(id, *name);
    loadUsers(id);
}

void frmUserMan::toggleManager() {
    const int id = selectedUser();
    if (m_dirty && !settleRights())
        return;
    db::Connection conn(m_cnstr);
    UserStore store(conn, m_self);
    store.setManager(id, !store.user(id).manager);
    loadUsers(id);
}

void frmUserMan::toggleDisabled() {
    const int id = selectedUser();
    db::Connection conn(m_cnstr);
    UserStore store(conn, m_self);
    store.setDisabled(id, !store.user(id).disabled);
    loadUsers(id);
}

void frmUserMan::deleteUser() {
    const int id = selectedUser();
    db::Connection conn(m_cnstr);
    UserStore store(conn, m_self);
    const UserRow u = store.user(id);
    if (store.hasBills(id)) {
        if (u.disabled)
            throw Error(QStringLiteral("用户“%1”做过单据，不能删除；他已经停用了。").arg(u.name));
        if (ui::dialogs().question(
                QStringLiteral("用户“%1”做过单据，不能删除。是否把他停用（以后不能再登录）？").arg(u.name),
                ui::Icon::Question, ui::Answer::Yes) == ui::Answer::Yes) {
            store.setDisabled(id, true);
            loadUsers(id);
        }
        return;
    }
    if (ui::dialogs().question(QStringLiteral("删除用户“%1”和他的全部权限？").arg(u.name)) != ui::Answer::Yes)
        return;
    store.remove(id);
    m_dirty = false;
    loadUsers(m_self);
}

void frmUserMan::setPassword() {
    const int id = selectedUser();
    db::Connection conn(m_cnstr);
    UserStore store(conn, m_self);
    frmUserEdit w(frmUserEdit::Mode::Password, store.user(id).name, this);
    while (ui::dialogs().exec(w) == QDialog::Accepted)
        if (ui::errorTrap([&] { store.setPassword(id, w.txtPassword->text(), w.txtConfirm->text()); })) {
            ui::dialogs().info(QStringLiteral("密码已设置。"));
            return;
        }
}

void frmUserMan::copyRights() {
    const int from = cboCopyFrom->currentData().toInt();
    if (from == 0 || from == m_shownUser)
        return;
    db::Connection conn(m_cnstr);
    showRights(Grants::granted(conn, from));
    m_dirty = true;
    cmdSave->setEnabled(true);
}

void frmUserMan::descriptionEdited(int row, int col) {
    if (col != ColDescription)
        return;
    const int id = grdUser->textMatrix(row, ColId).toInt();
    db::Connection conn(m_cnstr);
    try {
        UserStore(conn, m_self).setDescription(id, grdUser->textMatrix(row, col));
    } catch (const Error &) {
        grdUser->setTextMatrix(row, col, grdUser->editedFrom());
        throw;
    }
}

void frmUserMan::reject() {
    if (m_dirty && !settleRights())
        return;
    QDialog::reject();
}

} // namespace zostore::modules::users
