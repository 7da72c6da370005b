// zostore-admin: exit codes and messages, and the account commands on both backends.
#include "accountdb/PasswordHash.h"
#include "admin/AccountCommands.h"
#include "admin/CommandLine.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::admin;
using test::AdminOutcome;

namespace {

using Outcome = AdminOutcome;

CommandTable accountTable() {
    CommandTable table;
    addAccountCommands(table);
    return table;
}

Outcome runCli(const QStringList &args, const QString &input = QString(),
               const std::optional<QString> &env = std::nullopt, bool terminal = false) {
    return test::runAdminCommand(accountTable(), args, env, input, terminal);
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
                 {QStringLiteral("zs_admcat_") + suffix, set(QStringLiteral("a")), set(QStringLiteral("g")),
                  set(QStringLiteral("h")), set(QStringLiteral("d"))})
                server.execute(QStringLiteral("drop database if exists %1 with (force)").arg(n));
        }
        BackendTest::TearDown();
    }
    QString set(const QString &n) const { return QStringLiteral("zs_adm_%1_%2").arg(n, suffix); }
    Outcome run(QStringList args, const QString &input = QString(), const std::optional<QString> &env = {},
                bool terminal = false) {
        args << QStringLiteral("--catalog") << catalogue;
        return runCli(args, input, env, terminal);
    }
    db::Connection account(const QString &n) {
        return db::Connection(accountdb::Catalogue(catalogue).accountConnectionString(set(n)));
    }
    static bool hasPassword(db::Connection &acct, const QString &user, const QString &password) {
        return accountdb::verifyPassword(
            acct.scalar(QStringLiteral("select FPassword from t_User where FName=?"), {user}).toString(), password);
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
    // A password is never taken from the command line, in either spelling.
    usage({QStringLiteral("add-user"), QStringLiteral("zs"), QStringLiteral("u"), QStringLiteral("--password"),
           QStringLiteral("x")},
          QStringLiteral("密码不能写在命令行上"));
    usage({QStringLiteral("passwd"), QStringLiteral("zs"), QStringLiteral("u"), QStringLiteral("--password=x")},
          QStringLiteral("ZOSTORE_PASSWORD"));
    usage({QStringLiteral("list"), QStringLiteral("--password-stdin")}, QStringLiteral("没有选项 --password-stdin"));
    usage({QStringLiteral("list"), QStringLiteral("--catalog")}, QStringLiteral("缺少连接字符串"));
    usage({QStringLiteral("list"), QStringLiteral("--catalog-file")}, QStringLiteral("缺少文件名"));
    usage({QStringLiteral("list"), QStringLiteral("--catalog=a"), QStringLiteral("--catalog-file"),
           QStringLiteral("b")},
          QStringLiteral("只能给出一个"));
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
    r = run({QStringLiteral("create-account"), QStringLiteral("门店"), set(QStringLiteral("x"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("帐套“门店”已经存在"))) << r.err.toStdString();
    r = run({QStringLiteral("list")});
    EXPECT_TRUE(r.out.contains(set(QStringLiteral("a")) + QStringLiteral("\t门店")));
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1);

    // The catalogue may also come from a file, keeping its password off the command line.
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("catalog")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\n" + catalogue.toUtf8() + "\n");
        f.close();
        r = runCli({QStringLiteral("list"), QStringLiteral("--catalog-file"), f.fileName()});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("\t门店")));
        r = runCli({QStringLiteral("list"), QStringLiteral("--catalog-file"), dir.filePath(QStringLiteral("none"))});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("无法读取帐套目录文件"))) << r.err.toStdString();
    }
}

TEST_P(AdminCliTest, users_are_added_and_passwords_changed_only_by_who_may) {
    ASSERT_EQ(run({QStringLiteral("create-account"), QStringLiteral("门店"), set(QStringLiteral("a"))}).code, 0);
    db::Connection acct = account(QStringLiteral("a"));
    const auto users = [&] { return acct.scalar(QStringLiteral("select count(*) from t_User")).toInt(); };
    const QString a = set(QStringLiteral("a"));
    const auto refused = [&](const Outcome &o, int code, const QString &part, int usersBefore) {
        EXPECT_EQ(o.code, code) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains(part)) << o.err.toStdString();
        EXPECT_EQ(users(), usersBefore);
    };

    // Nobody to log in as yet: the first user, a manager, takes its password from the variable.
    refused(run({QStringLiteral("add-user"), a, QStringLiteral("老板")}), 2, QStringLiteral("ZOSTORE_PASSWORD"), 0);
    Outcome r = run({QStringLiteral("add-user"), a, QStringLiteral("老板"), QStringLiteral("--manager")}, QString(),
                    QStringLiteral("boss-pw1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("老板"), QStringLiteral("boss-pw1")));

    // From now on a manager's login: none, a wrong password, a clerk's, then the right one (variable, then
    // the first line of standard input, the new user's on the next).
    refused(run({QStringLiteral("add-user"), a, QStringLiteral("王丽"), QStringLiteral("--manager"),
                 QStringLiteral("--password-stdin")},
                QStringLiteral("wl123456\n")),
            2, QStringLiteral("--user"), 1);
    refused(run({QStringLiteral("add-user"), a, QStringLiteral("王丽"), QStringLiteral("--user"),
                 QStringLiteral("老板"), QStringLiteral("--password-stdin")},
                QStringLiteral("wl123456\n"), QStringLiteral("boss-pw2")),
            1, QStringLiteral("密码错误，请重新输入！"), 1);
    refused(run({QStringLiteral("add-user"), a, QStringLiteral("王丽"), QStringLiteral("--user"),
                 QStringLiteral("老板")}),
            2, QStringLiteral("需要用户“老板”的密码"), 1);
    r = run({QStringLiteral("add-user"), a, QStringLiteral("王丽"), QStringLiteral("--user"), QStringLiteral("老板"),
             QStringLiteral("--password-stdin"), QStringLiteral("--grant"), QStringLiteral("101,102,R15,101")},
            QStringLiteral("wl123456\r\n"), QStringLiteral("boss-pw1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    refused(run({QStringLiteral("add-user"), a, QStringLiteral("李强"), QStringLiteral("--user"),
                 QStringLiteral("王丽"), QStringLiteral("--password-stdin")},
                QStringLiteral("lq123456\n"), QStringLiteral("wl123456")),
            1, QStringLiteral("访问被拒绝！"), 2);
    r = run({QStringLiteral("add-user"), a, QStringLiteral("李强"), QStringLiteral("--user"), QStringLiteral("老板"),
             QStringLiteral("--password-stdin")},
            QStringLiteral("boss-pw1\nlq123456\n"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("李强"), QStringLiteral("lq123456")));
    EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_Grant where FGrant=1")).toInt(), 3);
    EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_User where FManager=1")).toInt(), 1);

    const QStringList asBoss = {QStringLiteral("--user"), QStringLiteral("老板"), QStringLiteral("--password-stdin")};
    const auto addAsBoss = [&](const QStringList &args, const QString &input) {
        return run(QStringList{QStringLiteral("add-user"), a} + args + asBoss, input, QStringLiteral("boss-pw1"));
    };
    refused(addAsBoss({QStringLiteral("王丽")}, QStringLiteral("x1234567\n")), 1, QStringLiteral("已经存在"), 3);
    refused(addAsBoss({QStringLiteral("老王"), QStringLiteral("--grant"), QStringLiteral("12")},
                      QStringLiteral("x1234567\n")),
            1, QStringLiteral("权限代码“12”无效"), 3);
    refused(addAsBoss({QStringLiteral("老王")}, QStringLiteral("\n")), 1, QStringLiteral("密码不能为空"), 3);
    refused(addAsBoss({QStringLiteral("老王")}, QString()), 2, QStringLiteral("标准输入里没有"), 3);
    refused(run({QStringLiteral("add-user"), QStringLiteral("zs_nowhere"), QStringLiteral("老王")}, QString(),
                QStringLiteral("x1234567")),
            1, QStringLiteral("不在帐套列表中"), 3);

    // passwd: one's own after the old password, another's only as a manager.
    const auto passwd = [&](const QStringList &more, const QString &input, const std::optional<QString> &env,
                            bool terminal = false) {
        return run(QStringList{QStringLiteral("passwd"), a} + more, input, env, terminal);
    };
    r = passwd({QStringLiteral("王丽"), QStringLiteral("--password-stdin")}, QStringLiteral("新密码12\n"),
               QStringLiteral("wrong"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("密码错误，请重新输入！"))) << r.err.toStdString();
    r = passwd({QStringLiteral("王丽"), QStringLiteral("--user"), QStringLiteral("李强"),
                QStringLiteral("--password-stdin")},
               QStringLiteral("新密码12\n"), QStringLiteral("lq123456"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("访问被拒绝！"))) << r.err.toStdString();
    r = passwd({QStringLiteral("无此人"), QStringLiteral("--password-stdin")}, QStringLiteral("x\n"),
               QStringLiteral("x"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("不存在"))) << r.err.toStdString();
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("王丽"), QStringLiteral("wl123456")));
    // On a terminal each missing password is asked for, the new one twice; a mistyped repeat changes nothing.
    r = passwd({QStringLiteral("王丽")}, QStringLiteral("wl123456\n新密码12\n新密码13\n"), std::nullopt, true);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("两次输入的新密码不一致！"))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("新密码12")));
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("王丽"), QStringLiteral("wl123456")));
    r = passwd({QStringLiteral("王丽")}, QStringLiteral("wl123456\n新密码12\n新密码12\n"), std::nullopt, true);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("用户“王丽”的密码："))) << r.err.toStdString();
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("王丽"), QStringLiteral("新密码12")));
    r = passwd(QStringList{QStringLiteral("李强")} + asBoss, QStringLiteral("lq654321\n"), QStringLiteral("boss-pw1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(hasPassword(acct, QStringLiteral("李强"), QStringLiteral("lq654321")));
}

TEST_P(AdminCliTest, generated_and_demo_sets_get_their_administrators_password) {
    ASSERT_EQ(run({QStringLiteral("create-catalog")}).code, 0);
    const QStringList small = {QStringLiteral("--items"), QStringLiteral("50"), QStringLiteral("--bills"),
                               QStringLiteral("200"), QStringLiteral("--lines"), QStringLiteral("3"),
                               QStringLiteral("--members"), QStringLiteral("0")};
    Outcome r = run(QStringList{QStringLiteral("generate"), QStringLiteral("大帐套"), set(QStringLiteral("g"))} + small);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("分录 600 行")));
    // None given: a random one, shown once, that logs in.
    const auto shown = QRegularExpression(QStringLiteral("admin / (\\S+)（随机生成")).match(r.out);
    ASSERT_TRUE(shown.hasMatch()) << r.out.toStdString();
    db::Connection g = account(QStringLiteral("g"));
    EXPECT_TRUE(hasPassword(g, QStringLiteral("admin"), shown.captured(1)));
    EXPECT_FALSE(hasPassword(g, QStringLiteral("admin"), QStringLiteral("admin123")));
    EXPECT_EQ(g.scalar(QStringLiteral("select count(*) from t_User")).toInt(), 1);

    r = run(QStringList{QStringLiteral("generate"), QStringLiteral("另一个"), set(QStringLiteral("h")),
                        QStringLiteral("--password-stdin")} +
                small,
            QStringLiteral("gen-pw12\n"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("gen-pw12")));
    db::Connection h = account(QStringLiteral("h"));
    EXPECT_TRUE(hasPassword(h, QStringLiteral("admin"), QStringLiteral("gen-pw12")));

    // The demo keeps its documented logins unless the administrator's password is given.
    r = run({QStringLiteral("demo"), QStringLiteral("--db"), set(QStringLiteral("d"))}, QString(),
            QStringLiteral("demo-pw1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("demo-pw1")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("admin123")));
    db::Connection d = account(QStringLiteral("d"));
    EXPECT_TRUE(hasPassword(d, QStringLiteral("admin"), QStringLiteral("demo-pw1")));
    EXPECT_TRUE(hasPassword(d, QStringLiteral("王丽"), QStringLiteral("wl123456")));
    r = run({QStringLiteral("demo"), QStringLiteral("--db"), set(QStringLiteral("d")), QStringLiteral("--replace")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("admin / admin123"))) << r.out.toStdString();
    db::Connection d2 = account(QStringLiteral("d"));
    EXPECT_TRUE(hasPassword(d2, QStringLiteral("admin"), QStringLiteral("admin123")));

    r = run({QStringLiteral("generate"), QStringLiteral("坏"), set(QStringLiteral("y")),
             QStringLiteral("--lines"), QStringLiteral("0")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("行数必须在 1 到 1000 之间"))) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("list")}).out.count(QLatin1Char('\n')), 3);
}

// Two first users at once: the second reaches its check while the first is still inside its transaction
// (a third session holds the grants table it writes last); exactly one gets in without a login.
TEST_P(AdminCliTest, two_first_users_at_once_let_only_one_in) {
    ASSERT_EQ(run({QStringLiteral("create-account"), QStringLiteral("门店"), set(QStringLiteral("a"))}).code,
              0);
    db::Connection acct = account(QStringLiteral("a"));
    db::Connection staller = account(QStringLiteral("a"));
    if (isSqlite())
        staller.beginBooks();
    else {
        staller.begin();
        staller.execute(QStringLiteral("lock table t_Grant in share mode"));
    }
    const auto waiting = [&] {
        return acct
            .scalar(QStringLiteral(
                        "select count(*) from pg_stat_activity where datname=? and wait_event_type='Lock'"),
                    {acct.info().database})
            .toInt();
    };
    // SQLite shows no waiting sessions: there the holder gives both processes time to reach the lock.
    const auto awaitWaiting = [&](int n, QProcess &p) {
        if (isSqlite())
            return !p.waitForFinished(2000);
        for (int i = 0; i < 400 && waiting() < n; ++i)
            if (p.waitForFinished(50))
                return false;
        return waiting() == n;
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOSTORE_PASSWORD"), QStringLiteral("first-pw"));
    QProcess first, second;
    const auto start = [&](QProcess &p, const QString &login) {
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZOSTORE_ADMIN_EXE),
                {QStringLiteral("add-user"), set(QStringLiteral("a")), login, QStringLiteral("--manager"),
                 QStringLiteral("--grant"), QStringLiteral("101"), QStringLiteral("--catalog"), catalogue});
    };
    start(first, QStringLiteral("老板"));
    EXPECT_TRUE(awaitWaiting(1, first)) << first.readAllStandardError().toStdString();
    start(second, QStringLiteral("王丽"));
    EXPECT_TRUE(awaitWaiting(2, second)) << second.readAllStandardError().toStdString();
    staller.rollback();
    for (QProcess *p : {&first, &second})
        ASSERT_TRUE(p->state() == QProcess::NotRunning || p->waitForFinished(30000));

    const int winners = (first.exitCode() == 0) + (second.exitCode() == 0);
    EXPECT_EQ(winners, 1);
    const QString loser = QString::fromUtf8((first.exitCode() == 0 ? second : first).readAllStandardError());
    EXPECT_TRUE(
        loser.contains(QStringLiteral("帐套里刚有人添加了用户：请用 --user 以管理员身份登录后再添加。")))
        << loser.toStdString();
    EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_User")).toInt(), 1);
    EXPECT_EQ(acct.scalar(QStringLiteral("select count(*) from t_Grant")).toInt(), 1);
}

ZOSTORE_BACKENDS(AdminCliTest);
