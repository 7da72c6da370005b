// The login context.
#include "startup/LoginContext.h"

#include "components/Session.h"

namespace zostore::startup {

LoginContext &LoginContext::instance() {
    static LoginContext c;
    return c;
}

void LoginContext::setLogin(qint32 userId, const QString &userName, const QString &cnstr,
                            const QString &masterPromptString, const QString &acctName) {
    setUser(userId, userName);
    m_cnstr = cnstr;
    m_master = masterPromptString;
    m_acctName = acctName;
}

void LoginContext::setUser(qint32 userId, const QString &userName) {
    m_userId = userId;
    m_userName = userName;
    components::setCurrentUserId(userId);
}

void LoginContext::setCurrentPeriod(qint16 year, qint16 period) {
    m_currentYear = year;
    m_currentPeriod = period;
}

void LoginContext::setStartPeriod(qint16 year, qint16 period) {
    m_startYear = year;
    m_startPeriod = period;
}

void LoginContext::reset() {
    *this = LoginContext();
    components::setCurrentUserId(0);
}

} // namespace zostore::startup
