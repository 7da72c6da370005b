// zostore-admin's users, grant and revoke: a manager's login, known codes only, and rows as the window
// writes them.
#include "accountdb/Catalogue.h"
#include "accountdb/SystemProfile.h"
#include "admin/CommandSet.h"
#include "db/Connection.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>

namespace zostore::test {

class UserCommandsTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        catalogue = db().createSibling(QStringLiteral("ucat"));
        accountdb::Catalogue cat(catalogue);
        cat.create();
        dbName = QStringLiteral("zs_ucmd_%1").arg(QRandomGenerator::global()->bounded(1000000));
        conn.emplace(cat.createAccountSet(QStringLiteral("用户"), dbName));
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FManager,FPassword,FDescription) "
                                     "values(1,'老板',1,?,null),(2,'王丽',0,?,'收银'),(3,'李强',0,?,null)"),
                      {adminTestPasswordHash(), adminTestPasswordHash(), adminTestPasswordHash()});
        conn->execute(QStringLiteral("update t_User set FDisabled=1 where FUserID=3"));
        conn->execute(QStringLiteral("insert into ReportList(FGroupID,FReportID,FType,FReportName) "
                                     "values(2,12,0,'销售排行')"));
        conn->execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(2,'101',1)"));
    }
    void TearDown() override {
        conn.reset();
        if (!catalogue.isEmpty() && !isSqlite())
            accountdb::Catalogue(catalogue).removeAccountSet(dbName);
        BackendTest::TearDown();
    }
    AdminOutcome run(const QStringList &args, const QString &as = QStringLiteral("老板")) {
        return runAdminCommand(table,
                               QStringList{args[0], dbName, QStringLiteral("--catalog"), catalogue} +
                                   args.mid(1) + QStringList{QStringLiteral("--user"), as},
                               AdminTestPassword);
    }
    QString grants(int user) {
        QStringList out;
        for (auto rs = conn->open(QStringLiteral("select FSubSystemID,FGrant from t_Grant where FUserID=? "
                                                 "order by FSubSystemID"),
                                  {user});
             !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("FSubSystemID")) + QLatin1Char('=') +
                       rs.text(QStringLiteral("FGrant"));
        return out.join(u',');
    }
    admin::CommandTable table = admin::allCommands();
    QString catalogue, dbName;
    std::optional<db::Connection> conn;
};

TEST_P(UserCommandsTest, a_manager_lists_grants_and_revokes_known_codes_only) {
    AdminOutcome r = run({QStringLiteral("users")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1\t老板\t管理员\t全部权限\t\n2\t王丽\t营业员\t101\t收银\n"
                                    "3\t李强\t营业员（停用）\t无权限\t\n"));

    r = run({QStringLiteral("grant"), QStringLiteral("王丽"), QStringLiteral("102, R212,102")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("用户“王丽”：授予 2 项权限（102,R212）。\n"));
    r = run({QStringLiteral("revoke"), QStringLiteral("王丽"), QStringLiteral("101")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(grants(2), QStringLiteral("101=0,102=1,R212=1"));

    // Refusals change nothing: a clerk's login, an unknown or unlisted report code, a manager, nobody.
    const QString before = grants(2);
    r = run({QStringLiteral("grant"), QStringLiteral("王丽"), QStringLiteral("103")}, QStringLiteral("王丽"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("访问被拒绝！"))) << r.err.toStdString();
    r = run({QStringLiteral("grant"), QStringLiteral("王丽"), QStringLiteral("111,999")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("权限代码“999”无效"))) << r.err.toStdString();
    r = run({QStringLiteral("grant"), QStringLiteral("王丽"), QStringLiteral("R99")});
    EXPECT_TRUE(r.err.contains(QStringLiteral("权限代码“R99”无效"))) << r.err.toStdString();
    r = run({QStringLiteral("grant"), QStringLiteral("老板"), QStringLiteral("101")});
    EXPECT_TRUE(r.err.contains(QStringLiteral("是管理员，拥有全部权限"))) << r.err.toStdString();
    r = run({QStringLiteral("revoke"), QStringLiteral("张三"), QStringLiteral("101")});
    EXPECT_TRUE(r.err.contains(QStringLiteral("帐套里没有用户“张三”"))) << r.err.toStdString();
    r = run({QStringLiteral("grant"), QStringLiteral("王丽"), QStringLiteral(" , ")});
    EXPECT_EQ(r.code, 2) << r.err.toStdString();
    EXPECT_EQ(grants(2), before);
    EXPECT_EQ(grants(1), QString());
}

ZOSTORE_BACKENDS(UserCommandsTest);

} // namespace zostore::test
