// Start-up steps around the login.
#include "startup/StartUp.h"

#include "components/Registry.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "startup/UpgradeNotes.h"

namespace zostore::startup {

StartUp::StartUp()
    : m_login(components::createObject(QStringLiteral("nuvo_Login.Login"))),
      m_fileVersion(components::createObject(QStringLiteral("zo_getip.getip"))) {}

StartUp::~StartUp() = default;

bool StartUp::login() {
    const QString fileVer = m_fileVersion->invoke(QStringLiteral("GetFileVer"), {programExecutable()}).toString();
    m_login->invoke(QStringLiteral("Login"), {VersionLabel, fileVer});
    if (!m_login->property(QStringLiteral("OK")).toBool())
        return false;
    bool ok = false;
    const qint32 userId = m_login->property(QStringLiteral("UserID")).toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("登录组件返回的操作员编号无效。"));
    const QString userName = m_login->property(QStringLiteral("UserName")).toString();
    const QString cnstr = m_login->property(QStringLiteral("Cnstr")).toString();
    const QString master = m_login->property(QStringLiteral("MasterPromptString")).toString();
    const QString acctName = m_login->property(QStringLiteral("AcctName")).toString();
    loginContext().setLogin(userId, userName, cnstr, master, acctName);
    return true;
}

void StartUp::showUpgradeNotes() {
    const QString version =
        m_fileVersion->invoke(QStringLiteral("GetFileVer"), {programFile(QStringLiteral("nuvo_Main.exe"))}).toString();
    showUpgradeNotesIfNew(version);
}

} // namespace zostore::startup
