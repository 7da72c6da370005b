// The login component's windows.
#include "components/LoginDialogs.h"

#include "components/LoginService.h"
#include "accountdb/SchemaUpgrade.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::components {

namespace {

QLineEdit *passwordEdit(QWidget *parent) {
    auto *e = new QLineEdit(parent);
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(64);
    return e;
}

QDialogButtonBox *buttons(QDialog *d, QPushButton *&ok, QPushButton *&cancel, const QString &okText) {
    auto *box = new QDialogButtonBox(d);
    ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    cancel = box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return box;
}

} // namespace

QString accountDbFileName(const QString &cnstr) {
    const db::ConnectionString cs = db::ConnectionString::parse(cnstr);
    // SQLite account sets are "<FDbFileName>.db" files beside the catalogue.
    return cs.isSqlite() ? QFileInfo(cs.dataSource).completeBaseName() : cs.database;
}

frmLogin::frmLogin(const QString &verLabel, const QString &fileVer, const accountdb::Catalogue &catalogue,
                   const QList<accountdb::AccountSet> &sets, const QString &fixedCnstr, const QString &fixedAcctName,
                   QWidget *parent)
    : QDialog(parent), m_catalogue(catalogue), m_fixedCnstr(fixedCnstr) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(fixedCnstr.isEmpty() ? QStringLiteral("用户登录") : QStringLiteral("更换操作员"));

    auto *lblTitle = new QLabel(QStringLiteral("ZoStore 商业管理系统"), this);
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    lblTitle->setFont(f);
    lblTitle->setAlignment(Qt::AlignCenter);

    cmbAcct = new QComboBox(this);
    cmbUser = new QComboBox(this);
    txtPassword = passwordEdit(this);
    cmbAcct->setMinimumWidth(240);
    if (fixedCnstr.isEmpty()) {
        for (const accountdb::AccountSet &s : sets)
            cmbAcct->addItem(s.name, s.dbFileName);
    } else {
        cmbAcct->addItem(fixedAcctName, accountDbFileName(fixedCnstr));
        cmbAcct->setEnabled(false);
    }

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("帐套(&A)："), cmbAcct);
    form->addRow(QStringLiteral("操作员(&U)："), cmbUser);
    form->addRow(QStringLiteral("密码(&P)："), txtPassword);

    lblVersion = new QLabel(QStringLiteral("版本：%1    文件版本：%2").arg(verLabel, fileVer), this);
    lblVersion->setAlignment(Qt::AlignCenter);
    lblVersion->setStyleSheet(QStringLiteral("color: gray"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(lblTitle);
    layout->addLayout(form);
    layout->addWidget(buttons(this, cmdOK, cmdCancel, QStringLiteral("登录(&L)")));
    layout->addWidget(lblVersion);

    connect(cmbAcct, &QComboBox::currentIndexChanged, this, [this] { loadUsers(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { tryLogin(); }); });
    loadUsers();
    txtPassword->setFocus();
}

void frmLogin::preselect(const QString &dbFileName, const QString &userName) {
    if (m_fixedCnstr.isEmpty()) {
        const int i = cmbAcct->findData(dbFileName);
        if (i >= 0)
            cmbAcct->setCurrentIndex(i);
    }
    const int u = cmbUser->findText(userName);
    if (u >= 0)
        cmbUser->setCurrentIndex(u);
}

QString frmLogin::selectedCnstr() const {
    if (!m_fixedCnstr.isEmpty())
        return m_fixedCnstr;
    const QString file = cmbAcct->currentData().toString();
    return file.isEmpty() ? QString() : m_catalogue.accountConnectionString(file);
}

QString frmLogin::acctName() const { return cmbAcct->currentText(); }
QString frmLogin::dbFileName() const { return cmbAcct->currentData().toString(); }

void frmLogin::loadUsers() {
    cmbUser->clear();
    const QString cnstr = selectedCnstr();
    if (cnstr.isEmpty())
        return;
    ui::errorTrap([&] {
        for (const LoginUser &u : LoginService::users(cnstr))
            cmbUser->addItem(u.name, u.id);
    });
}

void frmLogin::tryLogin() {
    if (cmbAcct->currentIndex() < 0) {
        ui::dialogs().info(QStringLiteral("没有可登录的帐套，请先建立帐套。"));
        return;
    }
    if (cmbUser->currentIndex() < 0) {
        ui::dialogs().info(QStringLiteral("请选择操作员！"));
        return;
    }
    const QString cnstr = selectedCnstr();
    const std::optional<LoginUser> user = LoginService::authenticate(cnstr, cmbUser->currentText(), txtPassword->text());
    if (!user) {
        ui::dialogs().info(LoginService::wrongPasswordMessage());
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }
    accountdb::upgradeAccountSet(cnstr);
    m_userId = user->id;
    m_userName = user->name;
    m_cnstr = cnstr;
    accept();
}

frmModifyPwd::frmModifyPwd(const QString &cnstr, const QString &userName, QWidget *parent)
    : QDialog(parent), m_cnstr(cnstr), m_userName(userName) {
    setObjectName(QStringLiteral("frmModifyPwd"));
    setWindowTitle(QStringLiteral("修改登录密码"));
    txtOldPwd = passwordEdit(this);
    txtNewPwd = passwordEdit(this);
    txtConfirmPwd = passwordEdit(this);
    txtNewPwd->setPlaceholderText(QStringLiteral("至少 %1 个字符").arg(LoginService::MinPasswordLength));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("操作员："), new QLabel(userName, this));
    form->addRow(QStringLiteral("原密码(&O)："), txtOldPwd);
    form->addRow(QStringLiteral("新密码(&N)："), txtNewPwd);
    form->addRow(QStringLiteral("确认新密码(&C)："), txtConfirmPwd);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->addLayout(form);
    layout->addWidget(buttons(this, cmdOK, cmdCancel, QStringLiteral("确定")));
    txtOldPwd->setMinimumWidth(200);
    connect(cmdOK, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { save(); }); });
}

void frmModifyPwd::save() {
    const QString fault = LoginService::changePassword(m_cnstr, m_userName, txtOldPwd->text(), txtNewPwd->text(),
                                                       txtConfirmPwd->text());
    if (!fault.isEmpty()) {
        ui::dialogs().info(fault);
        return;
    }
    ui::dialogs().info(QStringLiteral("密码已修改，下次登录请使用新密码。"));
    accept();
}

frmCheckPwd::frmCheckPwd(const QString &cnstr, int userId, QWidget *parent)
    : QDialog(parent), m_cnstr(cnstr), m_userId(userId) {
    setObjectName(QStringLiteral("frmCheckPwd"));
    setWindowTitle(QStringLiteral("密码确认"));
    txtPassword = passwordEdit(this);
    txtPassword->setMinimumWidth(200);
    auto *form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("请再次输入当前操作员的登录密码："), this));
    form->addRow(QStringLiteral("密码(&P)："), txtPassword);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->addLayout(form);
    layout->addWidget(buttons(this, cmdOK, cmdCancel, QStringLiteral("确定")));
    connect(cmdOK, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { check(); }); });
}

void frmCheckPwd::check() {
    if (!LoginService::checkPassword(m_cnstr, m_userId, txtPassword->text())) {
        ui::dialogs().info(QStringLiteral("密码错误！"));
        txtPassword->clear();
        return;
    }
    accept();
}

} // namespace zostore::components
