// nuvo_Login.Login: log in to an account set, change operator, change and re-ask the password.
#pragma once

#include "components/Component.h"

namespace zostore::components {

class LoginComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_Login.Login");
    LoginComponent();

    // Shows the login dialog; OK() tells whether a login took place.
    void Login(const QString &verLabel, const QString &fileVer);
    // Another user of the same account set.
    void ReLogin(const QString &cnstr);
    void ModifyPwd(const QString &cnstr, const QString &userName);
    bool CheckPwd(const QString &cnstr, int userId);

    bool OK() const { return m_ok; }
    int UserID() const { return m_userId; }
    QString UserName() const { return m_userName; }
    QString Cnstr() const { return m_cnstr; }
    QString MasterPromptString() const { return m_master; }
    QString AcctName() const { return m_acctName; }

    // Catalogue to list the account sets from; the default catalogue when empty.
    void setCatalogue(const QString &catalogueCnstr) { m_catalogue = catalogueCnstr; }

private:
    bool m_ok = false;
    int m_userId = 0;
    QString m_userName;
    QString m_cnstr;
    QString m_master;
    QString m_acctName;
    QString m_catalogue;
};

} // namespace zostore::components
