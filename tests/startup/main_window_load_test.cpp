// Main window load: the manager flag and the profile reading rules.
#include "accountdb/Schema.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "startup/MainWindowLoad.h"
#include "support/TestDatabase.h"

using namespace zostore;
using namespace zostore::startup;

class MainWindowLoadTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db::Connection c = db().connect();
        accountdb::createAccountSchema(c);
        c.execute(QStringLiteral("insert into t_User (FUserID, FName, FManager) values (1, 'admin', 1), (2, '王丽', 0)"));
        c.execute(QStringLiteral("delete from t_systemprofile"));
        loginContext().reset();
        loginContext().setLogin(1, QStringLiteral("admin"), cnstr(), QString(), QString());
    }
    void TearDown() override {
        loginContext().reset();
        BackendTest::TearDown();
    }
    void profile(const QList<std::pair<QString, QString>> &rows) {
        db::Connection c = db().connect();
        c.execute(QStringLiteral("delete from t_systemprofile"));
        for (const auto &[key, value] : rows)
            c.execute(QStringLiteral("insert into t_systemprofile (FKey, FValue) values (?, ?)"), {key, value});
    }
    MainWindowState m_state;
};

TEST_P(MainWindowLoadTest, profile_keys_in_any_case_fill_the_context_and_the_window_state) {
    profile({{QStringLiteral("CURRENTYEAR"), QStringLiteral("2013年")},
             {QStringLiteral("CurrentPeriod"), QStringLiteral(" 2.5")}, // halves round to even
             {QStringLiteral("startyear"), QStringLiteral("abc")},
             {QStringLiteral("StartPeriod"), QStringLiteral("11.6")},
             {QStringLiteral("closed"), QStringLiteral("1")},
             {QStringLiteral("BIRTHDAY_ACTIONDAYS"), QStringLiteral("7")},
             {QStringLiteral("showaction"), QStringLiteral("1")},
             {QStringLiteral("CostStyle"), QStringLiteral("99999")}});
    MainWindowLoad load(m_state);
    load.prepare();
    load.readManagerFlag();
    load.readProfile();
    const LoginContext &ctx = loginContext();
    EXPECT_TRUE(ctx.isManager());
    EXPECT_EQ(ctx.currentYear(), 2013);
    EXPECT_EQ(ctx.currentPeriod(), 2);
    EXPECT_EQ(ctx.startYear(), 0);
    EXPECT_EQ(ctx.startPeriod(), 12);
    EXPECT_TRUE(m_state.firstActivate);
    EXPECT_TRUE(m_state.initClosed);
    EXPECT_EQ(m_state.birthdayDays, 7);
    EXPECT_TRUE(m_state.showActionAtStart);
    EXPECT_TRUE(m_state.versionLabel.startsWith(QStringLiteral("当前版本：7.1.")));

    profile({{QStringLiteral("Closed"), QStringLiteral("0")}, {QStringLiteral("ShowAction"), QStringLiteral("1 ")}});
    MainWindowState other;
    MainWindowLoad(other).readProfile();
    EXPECT_FALSE(other.initClosed);
    EXPECT_FALSE(other.showActionAtStart);
}

TEST_P(MainWindowLoadTest, values_beyond_sixteen_bits_and_a_missing_user_fail_the_load) {
    for (const QString &value : {QStringLiteral("32768"), QStringLiteral("-40000"), QStringLiteral("1e9")}) {
        profile({{QStringLiteral("CurrentYear"), value}});
        EXPECT_THROW(MainWindowLoad(m_state).readProfile(), Error) << value.toStdString();
    }
    profile({{QStringLiteral("CurrentYear"), QStringLiteral("32767")}, {QStringLiteral("BirthDay_ActionDays"), QStringLiteral("七")}});
    EXPECT_THROW(MainWindowLoad(m_state).readProfile(), Error);

    loginContext().setUser(5, QStringLiteral("nobody"));
    loginContext().setIsManager(true);
    EXPECT_THROW(MainWindowLoad(m_state).readManagerFlag(), Error);
    EXPECT_TRUE(loginContext().isManager());
    loginContext().setUser(2, QStringLiteral("王丽"));
    MainWindowLoad(m_state).readManagerFlag();
    EXPECT_FALSE(loginContext().isManager());
}

ZOSTORE_BACKENDS(MainWindowLoadTest);
