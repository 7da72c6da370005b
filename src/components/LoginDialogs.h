// The login component's windows: log in, change the password, confirm the password.
#pragma once

#include "accountdb/Catalogue.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::components {

// The catalogue's name (FDbFileName) of the account set a connection string reaches.
QString accountDbFileName(const QString &cnstr);

class frmLogin : public QDialog {
    Q_OBJECT
public:
    // fixedCnstr: re-login within that account set only.
    frmLogin(const QString &verLabel, const QString &fileVer, const accountdb::Catalogue &catalogue,
             const QList<accountdb::AccountSet> &sets, const QString &fixedCnstr = {},
             const QString &fixedAcctName = {}, QWidget *parent = nullptr);

    void preselect(const QString &dbFileName, const QString &userName);

    QComboBox *cmbAcct;
    QComboBox *cmbUser;
    QLineEdit *txtPassword;
    QLabel *lblVersion;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // Valid after acceptance.
    int userId() const { return m_userId; }
    const QString &userName() const { return m_userName; }
    const QString &cnstr() const { return m_cnstr; }
    QString acctName() const;
    QString dbFileName() const;

private:
    void loadUsers();
    void tryLogin();
    QString selectedCnstr() const;

    accountdb::Catalogue m_catalogue;
    QString m_fixedCnstr;
    int m_userId = 0;
    QString m_userName;
    QString m_cnstr;
};

class frmModifyPwd : public QDialog {
    Q_OBJECT
public:
    frmModifyPwd(const QString &cnstr, const QString &userName, QWidget *parent = nullptr);

    QLineEdit *txtOldPwd;
    QLineEdit *txtNewPwd;
    QLineEdit *txtConfirmPwd;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    void save();
    QString m_cnstr;
    QString m_userName;
};

class frmCheckPwd : public QDialog {
    Q_OBJECT
public:
    frmCheckPwd(const QString &cnstr, int userId, QWidget *parent = nullptr);

    QLineEdit *txtPassword;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    void check();
    QString m_cnstr;
    int m_userId;
};

} // namespace zostore::components
