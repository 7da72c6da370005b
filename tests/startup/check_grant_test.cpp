// The grant check on both backends: manager bypass, refusals, the stored group, lock retry.
#include "accountdb/Schema.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "startup/CheckGrant.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <future>
#include <thread>

using namespace zostore;
using namespace zostore::startup;

class CheckGrantTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        db::Connection c = db().connect();
        accountdb::createAccountSchema(c);
        c.execute(QStringLiteral("insert into t_User (FUserID, FName, FManager, FDisabledViewOrgaGroupID) values "
                                 "(1, 'admin', 1, null), (2, 'clerk', 0, 7), (3, 'cashier', 0, null)"));
        c.execute(QStringLiteral("insert into t_Grant (FUserID, FSubSystemID, FGrant) values "
                                 "(2, '101', 1), (2, '704', 0), (3, '101', 1)"));
        loginContext().reset();
        loginContext().setLogin(2, QStringLiteral("clerk"), cnstr(), QString(), QStringLiteral("测试帐套"));
    }
    void TearDown() override {
        loginContext().reset();
        BackendTest::TearDown();
    }
    QString group() const {
        return SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("TempValue"),
                                    QStringLiteral("DisabledViewOrgaGroupID"), QStringLiteral("<none>"));
    }
    static int deniedNumber(const std::function<void()> &f, QString *description = nullptr) {
        try {
            f();
        } catch (const Error &e) {
            if (description)
                *description = e.description();
            return e.number();
        }
        return 0;
    }

    QTemporaryDir m_settings;
};

TEST_P(CheckGrantTest, a_manager_passes_without_a_query_or_a_setting) {
    db().connect().execute(QStringLiteral("drop table t_Grant"));
    loginContext().setIsManager(true);
    EXPECT_TRUE(CheckGrant(QStringLiteral("999")));
    EXPECT_TRUE(CheckGrant(QStringLiteral("R11"), false));
    EXPECT_EQ(group(), QStringLiteral("<none>"));
}

TEST_P(CheckGrantTest, grants_refusals_and_the_stored_group) {
    EXPECT_TRUE(CheckGrant(QStringLiteral("101")));
    EXPECT_EQ(group(), QStringLiteral("7"));

    // No row: refused with the error, or silently false; nothing stored.
    QString text;
    EXPECT_EQ(deniedNumber([] { CheckGrant(QStringLiteral("102")); }, &text), Error::AccessDenied);
    EXPECT_EQ(text, QStringLiteral("访问被拒绝！"));
    EXPECT_FALSE(CheckGrant(QStringLiteral("102"), false));

    // Every value but "1" refuses like "0"; the group is written before. Text values only fit where the
    // column takes them.
    QStringList refusing = {QStringLiteral("0"), QStringLiteral("null"), QStringLiteral("2")};
    if (isSqlite())
        refusing << QStringLiteral("''") << QStringLiteral("'yes'");
    for (const QString &value : refusing) {
        db().connect().execute(QStringLiteral("update t_Grant set FGrant=%1 where FSubSystemID='704'").arg(value));
        SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("TempValue"),
                                QStringLiteral("DisabledViewOrgaGroupID"), QStringLiteral("x"));
        text.clear();
        EXPECT_EQ(deniedNumber([] { CheckGrant(QStringLiteral("704")); }, &text), Error::AccessDenied) << value.toStdString();
        EXPECT_EQ(text, QStringLiteral("访问被拒绝！"));
        EXPECT_EQ(group(), QStringLiteral("7"));
        EXPECT_FALSE(CheckGrant(QStringLiteral("704"), false)) << value.toStdString();
    }

    // A null group is stored as the empty text.
    loginContext().setUser(3, QStringLiteral("cashier"));
    EXPECT_TRUE(CheckGrant(QStringLiteral("101")));
    EXPECT_EQ(group(), QString());
}

TEST_P(CheckGrantTest, other_errors_come_back_as_access_denied_with_their_own_text) {
    db().connect().execute(QStringLiteral("drop table t_Grant"));
    QString text;
    EXPECT_EQ(deniedNumber([] { CheckGrant(QStringLiteral("101"), false); }, &text), Error::AccessDenied);
    EXPECT_NE(text, QStringLiteral("访问被拒绝！"));
    EXPECT_FALSE(text.contains(QStringLiteral("锁")));
    EXPECT_TRUE(text.contains(QStringLiteral("t_grant"), Qt::CaseInsensitive)) << text.toStdString();
}

TEST_P(CheckGrantTest, a_lock_held_elsewhere_is_waited_out_and_reported_when_it_stays) {
    if (!isSqlite()) // the server reports a lock conflict instead of waiting without end
        db().connect().execute(QStringLiteral("alter database \"%1\" set lock_timeout = 200")
                                   .arg(db::ConnectionString::parse(cnstr()).database));
    const QString cs = cnstr();
    const bool sqlite = isSqlite();
    const auto holdLock = [cs, sqlite](std::promise<void> &locked, std::shared_future<void> release) {
        db::Connection h(cs);
        if (sqlite) {
            h.execute(QStringLiteral("pragma locking_mode=exclusive"));
            h.begin();
            h.execute(QStringLiteral("update t_Grant set FGrant=FGrant"));
        } else {
            h.begin();
            h.execute(QStringLiteral("lock table t_Grant in access exclusive mode"));
        }
        locked.set_value();
        release.wait();
        h.rollback();
    };

    // Released after the first attempt has given up (on SQLite an attempt waits about 1.5 s, on the server
    // 200 ms): a retry succeeds.
    const auto releaseAfter = std::chrono::milliseconds(isSqlite() ? 2000 : 500);
    {
        std::promise<void> locked, release;
        std::thread holder([&] { holdLock(locked, release.get_future().share()); });
        locked.get_future().wait();
        const auto start = std::chrono::steady_clock::now();
        std::thread releaser([&] {
            std::this_thread::sleep_for(releaseAfter);
            release.set_value();
        });
        EXPECT_TRUE(CheckGrant(QStringLiteral("101")));
        EXPECT_GE(std::chrono::steady_clock::now() - start, releaseAfter); // it did wait for the release
        releaser.join();
        holder.join();
    }
    // Held for good: the retries end and the lock error comes back.
    {
        std::promise<void> locked, release;
        std::thread holder([&] { holdLock(locked, release.get_future().share()); });
        locked.get_future().wait();
        QString text;
        EXPECT_EQ(deniedNumber([] { CheckGrant(QStringLiteral("101")); }, &text), Error::AccessDenied);
        EXPECT_TRUE(text.contains(QStringLiteral("锁"))) << text.toStdString();
        release.set_value();
        holder.join();
    }
}

ZOSTORE_BACKENDS(CheckGrantTest);
