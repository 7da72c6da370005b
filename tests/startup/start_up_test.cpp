// Start-up with recording login and file-version components, and the exit question.
#include "components/Registry.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "startup/StartUp.h"
#include "ui/ScriptedDialogs.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zostore;
using namespace zostore::components;
using namespace zostore::startup;

namespace {

class FakeLogin : public Component {
public:
    explicit FakeLogin(bool ok) : Component(QStringLiteral("nuvo_Login.Login")) {
        addMethod(QStringLiteral("Login"), 2, 2, [this](const QVariantList &a) {
            calls << QStringLiteral("Login(%1,%2)").arg(a[0].toString(), a[1].toString());
            return QVariant();
        });
        const auto prop = [this](const QString &name, QVariant v) {
            addProperty(name, [this, name, v] {
                calls << name;
                return v;
            });
        };
        prop(QStringLiteral("OK"), ok);
        prop(QStringLiteral("UserID"), QStringLiteral("2"));
        prop(QStringLiteral("UserName"), QStringLiteral("王丽"));
        prop(QStringLiteral("Cnstr"), QStringLiteral("Provider=SQLite;Data Source=/data/demo.db"));
        prop(QStringLiteral("MasterPromptString"), QStringLiteral("Provider=SQLite;Data Source=/data/catalog.db"));
        prop(QStringLiteral("AcctName"), QStringLiteral("演示帐套"));
    }
    QStringList calls;
};

class FakeVersion : public Component {
public:
    FakeVersion() : Component(QStringLiteral("zo_getip.getip")) {
        addMethod(QStringLiteral("GetFileVer"), 1, 1, [this](const QVariantList &a) {
            paths << a[0].toString();
            return QVariant(QStringLiteral("7.01.00002"));
        });
    }
    QStringList paths;
};

} // namespace

class StartUpTest : public testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        setProgramFolder(m_folder.path());
        loginContext().reset();
    }
    void TearDown() override {
        setProgramFolder(QString());
        loginContext().reset();
    }
    QTemporaryDir m_settings;
    QTemporaryDir m_folder;
};

TEST_F(StartUpTest, giving_up_the_login_fills_nothing_and_writes_nothing) {
    auto login = std::make_shared<FakeLogin>(false);
    auto version = std::make_shared<FakeVersion>();
    ScopedFactory f1(QStringLiteral("nuvo_Login.Login"), [login] { return login; });
    ScopedFactory f2(QStringLiteral("zo_getip.getip"), [version] { return version; });
    StartUp start;
    EXPECT_FALSE(start.login());
    EXPECT_EQ(login->calls, (QStringList{QStringLiteral("Login(7.1.20130101,7.01.00002)"), QStringLiteral("OK")}));
    EXPECT_EQ(version->paths, QStringList{m_folder.path() + QStringLiteral("/nuvo_main.exe")});
    EXPECT_EQ(loginContext().userId(), 0);
    EXPECT_TRUE(loginContext().cnstr().isEmpty());
    EXPECT_TRUE(QDir(m_settings.path()).isEmpty());
}

TEST_F(StartUpTest, a_login_fills_the_context_in_order_and_a_missing_component_stops_start_up) {
    auto login = std::make_shared<FakeLogin>(true);
    auto version = std::make_shared<FakeVersion>();
    {
        ScopedFactory f1(QStringLiteral("nuvo_Login.Login"), [login] { return login; });
        ScopedFactory f2(QStringLiteral("zo_getip.getip"), [version] { return version; });
        StartUp start;
        ASSERT_TRUE(start.login());
        EXPECT_EQ(login->calls.mid(1), (QStringList{QStringLiteral("OK"), QStringLiteral("UserID"),
                                                    QStringLiteral("UserName"), QStringLiteral("Cnstr"),
                                                    QStringLiteral("MasterPromptString"), QStringLiteral("AcctName")}));
        const LoginContext &ctx = loginContext();
        EXPECT_EQ(ctx.userId(), 2);
        EXPECT_EQ(ctx.userName(), QStringLiteral("王丽"));
        EXPECT_EQ(ctx.acctName(), QStringLiteral("演示帐套"));
        EXPECT_EQ(ctx.masterPromptString(), QStringLiteral("Provider=SQLite;Data Source=/data/catalog.db"));
        EXPECT_EQ(systemDbConnectionString(),
                  QStringLiteral("Provider=Microsoft.Jet.Oledb.4.0;Data Source=") + m_folder.path() +
                      QStringLiteral("/systemdb.mdb"));
    }
    // Not registered in this test binary: start-up cannot begin.
    try {
        StartUp start;
        FAIL() << "start-up without a login component";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), Error::NotInstalled);
    }
}
