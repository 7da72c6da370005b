// The process-wide values of the logged-in session: user, account set, connection strings, period.
#pragma once

#include <QString>

namespace zostore::startup {

class LoginContext {
public:
    static LoginContext &instance();

    qint32 userId() const { return m_userId; }
    const QString &userName() const { return m_userName; }
    const QString &cnstr() const { return m_cnstr; }
    const QString &masterPromptString() const { return m_master; }
    const QString &acctName() const { return m_acctName; }
    bool isManager() const { return m_isManager; }
    qint16 currentYear() const { return m_currentYear; }
    qint16 currentPeriod() const { return m_currentPeriod; }
    qint16 startYear() const { return m_startYear; }
    qint16 startPeriod() const { return m_startPeriod; }

    // Writers, each named for who may call it.
    // Start-up, after a successful login.
    void setLogin(qint32 userId, const QString &userName, const QString &cnstr, const QString &masterPromptString,
                  const QString &acctName);
    // Re-login replaces the user only; the account set stays.
    void setUser(qint32 userId, const QString &userName);
    // Main window load and re-login.
    void setIsManager(bool manager) { m_isManager = manager; }
    // Main window load, and period closing and reopening.
    void setCurrentPeriod(qint16 year, qint16 period);
    // Main window load.
    void setStartPeriod(qint16 year, qint16 period);

    // Tests start from an empty context.
    void reset();

private:
    LoginContext() = default;
    qint32 m_userId = 0;
    QString m_userName;
    QString m_cnstr;
    QString m_master;
    QString m_acctName;
    bool m_isManager = false;
    qint16 m_currentYear = 0;
    qint16 m_currentPeriod = 0;
    qint16 m_startYear = 0;
    qint16 m_startPeriod = 0;
};

inline LoginContext &loginContext() { return LoginContext::instance(); }

} // namespace zostore::startup
