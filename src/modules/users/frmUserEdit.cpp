#include "modules/users/frmUserEdit.h"

#include "modules/users/UserStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::users {

frmUserEdit::frmUserEdit(Mode mode, const QString &userName, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmUserEdit"));
    const bool fresh = mode == Mode::NewUser;
    setWindowTitle(fresh ? QStringLiteral("新增用户") : QStringLiteral("设置“%1”的密码").arg(userName));
    auto *form = new QFormLayout;
    txtName = new QLineEdit(userName, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(UserStore::NameLength + 1); // one more, so that a too long name is told, not cut
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtConfirm = new QLineEdit(this);
    txtConfirm->setObjectName(QStringLiteral("txtConfirm"));
    txtConfirm->setEchoMode(QLineEdit::Password);
    chkManager = new QCheckBox(QStringLiteral("管理员（拥有全部权限，可以管理用户）"), this);
    chkManager->setObjectName(QStringLiteral("chkManager"));
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setMaxLength(UserStore::DescriptionLength);
    if (fresh)
        form->addRow(QStringLiteral("用户名(&N)："), txtName);
    form->addRow(QStringLiteral("密码(&P)："), txtPassword);
    form->addRow(QStringLiteral("确认密码(&F)："), txtConfirm);
    if (fresh) {
        form->addRow(QStringLiteral("说明(&D)："), txtDescription);
        form->addRow(QString(), chkManager);
    }
    txtName->setVisible(fresh);
    chkManager->setVisible(fresh);
    txtDescription->setVisible(fresh);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(buttons);
    resize(420, sizeHint().height());
}

} // namespace zostore::modules::users
