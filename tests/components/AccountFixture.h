// An account set registered in its own catalogue, with three users, for component tests.
#pragma once

#include "accountdb/Catalogue.h"
#include "accountdb/PasswordHash.h"
#include "accountdb/Schema.h"
#include "db/ConnectionString.h"
#include "support/TestDatabase.h"
#include "ui/ScriptedDialogs.h"

#include <QSettings>
#include <QTemporaryDir>

class AccountFixture : public zostore::test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        zostore::db::Connection c = db().connect();
        zostore::accountdb::createAccountSchema(c);
        zostore::accountdb::Catalogue(cnstr()).create();
        const auto cs = zostore::db::ConnectionString::parse(cnstr());
        m_dbFileName = cs.isSqlite() ? QStringLiteral("account") : cs.database;
        c.execute(QStringLiteral("insert into Zo_DbList (FDbName, FDbFileName) values (?, ?)"),
                  {QStringLiteral("测试帐套"), m_dbFileName});
        int id = 0;
        for (const auto &[name, pwd, manager] : {std::tuple{"admin", "admin123", 1}, {"王丽", "wl123456", 0},
                                                  {"李强", "lq123456", 0}})
            c.execute(QStringLiteral("insert into t_User (FUserID, FName, FPassword, FManager) values (?, ?, ?, ?)"),
                      {++id, QString::fromUtf8(name), zostore::accountdb::hashPassword(QString::fromUtf8(pwd)),
                       manager});
    }

    QTemporaryDir m_settings;
    QString m_dbFileName;
    zostore::ui::ScriptedDialogs m_dialogs;
};
