// Asks for a new user's name, password, manager flag and description, or for a new password only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace zostore::modules::users {

class frmUserEdit : public QDialog {
    Q_OBJECT
public:
    enum class Mode { NewUser, Password };
    explicit frmUserEdit(Mode mode, const QString &userName = {}, QWidget *parent = nullptr);

    QLineEdit *txtName = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtConfirm = nullptr;
    QCheckBox *chkManager = nullptr;
    QLineEdit *txtDescription = nullptr;
};

} // namespace zostore::modules::users
