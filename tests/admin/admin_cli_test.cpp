// zostore-admin: exit codes and messages, and the account commands on both backends.
#include "accountdb/PasswordHash.h"
#include "admin/AccountCommands.h"
#include "admin/CommandLine.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QProcess>

using namespace zostore;
using namespace zostore::admin;

namespace {

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome runCli(const QStringList &args, const QString &input = QString()) {
    QString out, err, in = input;
    QTextStream o(&out), e(&err), i(&in);
    AdminIO io{o, e, i};
    CommandTable table;
    addAccountCommands(table);
    const int code = runAdmin(table, args, io);
    return {code, out, err};
}

class AdminCliTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        suffix = QStringLiteral("%1_%2").arg(QCoreApplication::applicationPid()).arg(++sequence);
        if (isSqlite()) {
            catalogue = QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(db().dir());
        } else {
            auto cs = db::ConnectionString::parse(test::postgresAdminString());
            cs.database = QStringLiteral("zs_admcat_") + suffix;
            catalogue = cs.toString();
        }
    }
    void TearDown() override {
        if (!isSqlite() && !catalogue.isEmpty()) {
            db::Connection server(test::postgresAdminString());
            for (const QString &n :
                 {QStringLiteral("zs_admcat_") + suffix, set(QStringLiteral("a")), set(QStringLiteral("g"))})
                server.execute(QStringLiteral("drop database if exists %1 with (force)").arg(n));
        }
        BackendTest::TearDown();
    }
    QString set(const QString &n) const { return QStringLiteral("zs_adm_%1_%2").arg(n, suffix); }
    Outcome run(QStringList args, const QString &input = QString()) {
        args << QStringLiteral("--catalog") << catalogue;
        return runCli(args, input);
    }
    QString catalogue, suffix;
    static inline int sequence = 0;
};

} // namespace

TEST(AdminUsageTest, bad_command_lines_exit_with_2_and_say_why) {
    const auto usage = [](const QStringList &args, const QString &part) {
        const Outcome r = runCli(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString();
    };
    usage({}, QStringLiteral("用法"));
    usage({QStringLiteral("frob")}, QStringLiteral("未知的命令“frob”"));
    usage({QStringLiteral("create-account"), QStringLiteral("只有名称")}, QStringLiteral("参数太少"));
    usage({QStringLiteral("list"), QStringLiteral("extra")}, QStringLiteral("参数太多"));
    usage({QStringLiteral("list"), QStringLiteral("--verbose")}, QStringLiteral("没有选项 --verbose"));
    usage({QStringLiteral("demo"), QStringLiteral("--db")}, QStringLiteral("缺少值"));
    usage({QStringLiteral("generate"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("--bills"),
           QStringLiteral("many")},
          QStringLiteral("需要一个整数"));
    usage({QStringLiteral("add-user"), QStringLiteral("zs"), QStringLiteral("u")},
          QStringLiteral("--password"));
    usage({QStringLiteral("list"), QStringLiteral("--catalog")}, QStringLiteral("缺少连接字符串"));
    EXPECT_EQ(runCli({QStringLiteral("help")}).code, 0);
}

TEST(AdminUsageTest, the_program_reports_through_its_exit_code) {
    QProcess p;
    p.start(QStringLiteral(ZOSTORE_ADMIN_EXE), {QStringLiteral("no-such-command")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("Unknown command")));
}

TEST_P(AdminCliTest, account_commands_work_and_refusals_change_nothing) {
    Outcome r = run({QStringLiteral("list")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("create-catalog"))) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("create-catalog")}).code, 0);
    EXPECT_FALSE(run({QStringLiteral("create-catalog")}).out.contains(QStringLiteral("Password=secret")));

    r = run({QStringLiteral("create-account"), QStringLiteral("门店"), QStringLiteral("bad-name")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("无效")));
    EXPECT_TRUE(run({QStringLiteral("list")}).out.contains(QStringLiteral("没有帐套")));

    ASSERT_EQ(run({QStringLiteral("create-account"), QStringLiteral("门店"), set(QStringLiteral("a"))}).code,
              0);
    EXPECT_EQ(run({QStringLiteral("create-account"), QStringLiteral("门店"), set(QStringLiteral("x"))}).code,
              1);
    r = run({QStringLiteral("list")});
    EXPECT_TRUE(r.out.contains(set(QStringLiteral("a")) + QStringLiteral("\t门店")));
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1);

    r = run({QStringLiteral("add-user"), set(QStringLiteral("a")), QStringLiteral("王丽"),
             QStringLiteral("--password-stdin"), QStringLiteral("--grant"),
             QStringLiteral("101,102,R15,101")},
            QStringLiteral("wl123456\r\n"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("add-user"), set(QStringLiteral("a")), QStringLiteral("王丽"),
                   QStringLiteral("--password"), QStringLiteral("x")})
                  .code,
              1);
    EXPECT_EQ(run({QStringLiteral("add-user"), set(QStringLiteral("a")), QStringLiteral("老板"),
                   QStringLiteral("--password"), QStringLiteral("x"), QStringLiteral("--grant"),
                   QStringLiteral("12")})
                  .code,
              1);
    EXPECT_EQ(run({QStringLiteral("add-user"), QStringLiteral("zs_nowhere"), QStringLiteral("老板"),
                   QStringLiteral("--password"), QStringLiteral("x")})
                  .code,
              1);
    EXPECT_EQ(run({QStringLiteral("add-user"), set(QStringLiteral("a")), QStringLiteral("老板"),
                   QStringLiteral("--manager"), QStringLiteral("--password-stdin")},
                  QStringLiteral("\n"))
                  .code,
              1); // an empty password
    {
        auto cs = accountdb::Catalogue(catalogue).accountConnectionString(set(QStringLiteral("a")));
        db::Connection acct(cs);
        EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_User")).toInt(), 1);
        EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_Grant where FGrant=1")).toInt(), 3);
        const QString hash = acct.scalar(QStringLiteral("select FPassword from t_User where FName=?"),
                                         {QStringLiteral("王丽")})
                                 .toString();
        EXPECT_TRUE(accountdb::verifyPassword(hash, QStringLiteral("wl123456")));
        ASSERT_EQ(run({QStringLiteral("passwd"), set(QStringLiteral("a")), QStringLiteral("王丽"),
                       QStringLiteral("--password"), QStringLiteral("新密码1")})
                      .code,
                  0);
        EXPECT_EQ(run({QStringLiteral("passwd"), set(QStringLiteral("a")), QStringLiteral("无此人"),
                       QStringLiteral("--password"), QStringLiteral("x")})
                      .code,
                  1);
        const QString changed = acct.scalar(QStringLiteral("select FPassword from t_User where FName=?"),
                                            {QStringLiteral("王丽")})
                                    .toString();
        EXPECT_TRUE(accountdb::verifyPassword(changed, QStringLiteral("新密码1")));
        EXPECT_FALSE(accountdb::verifyPassword(changed, QStringLiteral("wl123456")));
    }

    r = run({QStringLiteral("generate"), QStringLiteral("大帐套"), set(QStringLiteral("g")),
             QStringLiteral("--items"), QStringLiteral("50"), QStringLiteral("--bills"),
             QStringLiteral("200"), QStringLiteral("--lines"), QStringLiteral("3"),
             QStringLiteral("--members"), QStringLiteral("0")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("分录 600 行")));
    r = run({QStringLiteral("generate"), QStringLiteral("坏"), set(QStringLiteral("y")),
             QStringLiteral("--lines"), QStringLiteral("0")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(run({QStringLiteral("list")}).out.count(QLatin1Char('\n')), 2);
}

ZOSTORE_BACKENDS(AdminCliTest);
