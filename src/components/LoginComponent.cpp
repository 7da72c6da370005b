// nuvo_Login.Login.
#include "components/LoginComponent.h"

#include "components/LoginDialogs.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "ui/Dialogs.h"

#include <QLabel>
#include <QSettings>

namespace zostore::components {

namespace {

// The component's own remembered choices, apart from the shell's settings.
QSettings rememberStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZoStore-Settings"),
                     QStringLiteral("nuvo_Login"));
}

} // namespace

LoginComponent::LoginComponent() : Component(ProgId) {
    addMethod(QStringLiteral("Login"), 2, 2, [this](const QVariantList &a) {
        Login(argText(a, 0), argText(a, 1));
        return QVariant();
    });
    addMethod(QStringLiteral("ReLogin"), 1, 1, [this](const QVariantList &a) {
        ReLogin(argText(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("ModifyPwd"), 2, 2, [this](const QVariantList &a) {
        ModifyPwd(argText(a, 0), argText(a, 1));
        return QVariant();
    });
    addMethod(QStringLiteral("CheckPwd"), 2, 2,
              [this](const QVariantList &a) { return QVariant(CheckPwd(argText(a, 0), argInt(a, 1))); });
    addProperty(QStringLiteral("OK"), [this] { return QVariant(m_ok); });
    addProperty(QStringLiteral("UserID"), [this] { return QVariant(m_userId); });
    addProperty(QStringLiteral("UserName"), [this] { return QVariant(m_userName); });
    addProperty(QStringLiteral("Cnstr"), [this] { return QVariant(m_cnstr); });
    addProperty(QStringLiteral("MasterPromptString"), [this] { return QVariant(m_master); });
    addProperty(QStringLiteral("AcctName"), [this] { return QVariant(m_acctName); });
}

void LoginComponent::Login(const QString &verLabel, const QString &fileVer) {
    m_ok = false;
    const accountdb::Catalogue catalogue(m_catalogue.isEmpty() ? accountdb::defaultCatalogueString() : m_catalogue);
    QList<accountdb::AccountSet> sets;
    try {
        sets = catalogue.list();
    } catch (const Error &e) {
        throw Error(QStringLiteral("不能读取帐套目录：%1").arg(e.description()));
    }
    frmLogin dlg(verLabel, fileVer, catalogue, sets);
    QSettings remembered = rememberStore();
    dlg.preselect(remembered.value(QStringLiteral("Last/Account")).toString(),
                  remembered.value(QStringLiteral("Last/User")).toString());
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return;
    m_ok = true;
    m_userId = dlg.userId();
    m_userName = dlg.userName();
    m_cnstr = dlg.cnstr();
    m_master = catalogue.catalogueString();
    m_acctName = dlg.acctName();
    remembered.setValue(QStringLiteral("Last/Account"), dlg.dbFileName());
    remembered.setValue(QStringLiteral("Last/User"), m_userName);
}

void LoginComponent::ReLogin(const QString &cnstr) {
    m_ok = false;
    const accountdb::Catalogue catalogue(m_catalogue.isEmpty() ? accountdb::defaultCatalogueString() : m_catalogue);
    const QString dbName = accountDbFileName(cnstr);
    QString acctName;
    try {
        acctName = catalogue.nameOf(dbName);
    } catch (const Error &) {
        // The catalogue only names the set; the login itself needs just the account set.
    }
    frmLogin dlg(QString(), QString(), catalogue, {}, cnstr, acctName.isEmpty() ? dbName : acctName);
    dlg.lblVersion->hide();
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return;
    m_ok = true;
    m_userId = dlg.userId();
    m_userName = dlg.userName();
    m_cnstr = cnstr;
    m_master = catalogue.catalogueString();
    m_acctName = dlg.acctName();
}

void LoginComponent::ModifyPwd(const QString &cnstr, const QString &userName) {
    frmModifyPwd dlg(cnstr, userName);
    ui::dialogs().exec(dlg);
}

bool LoginComponent::CheckPwd(const QString &cnstr, int userId) {
    frmCheckPwd dlg(cnstr, userId);
    return ui::dialogs().exec(dlg) == QDialog::Accepted;
}

} // namespace zostore::components
