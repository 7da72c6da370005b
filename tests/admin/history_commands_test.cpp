// zostore-admin's clear-history, backup and restore: grants, refused days, and round trips through the
// commands.
#include "accountdb/AccountBackup.h"
#include "accountdb/BackupCheck.h"
#include "accountdb/Catalogue.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "admin/CommandLine.h"
#include "admin/HistoryCommands.h"
#include "admin/ReminderCommands.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "startup/LoginContext.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace zostore::test {

using Outcome = AdminOutcome;

class HistoryCommandsTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(work.isValid());
        oldWork = qgetenv("ZOSTORE_WORKDIR");
        qputenv("ZOSTORE_WORKDIR", work.path().toUtf8());
        catalogue = db().createSibling(QStringLiteral("hcat"));
        accountdb::Catalogue cat(catalogue);
        cat.create();
        dbName = QStringLiteral("zs_hcmd_%1").arg(QRandomGenerator::global()->bounded(1000000));
        conn.emplace(cat.createAccountSet(QStringLiteral("清除"), dbName));
        const QStringList profile = {QStringLiteral("StartYear"),     QStringLiteral("2026"),
                                     QStringLiteral("StartPeriod"),   QStringLiteral("10"),
                                     QStringLiteral("CurrentYear"),   QStringLiteral("2026"),
                                     QStringLiteral("CurrentPeriod"), QStringLiteral("11")};
        for (qsizetype i = 0; i < profile.size(); i += 2)
            accountdb::writeProfile(*conn, profile[i], profile[i + 1]);
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FManager,FPassword) "
                                     "values(1,'admin',1,?),(2,'店员',0,?),(3,'会计',0,?)"),
                      {adminTestPasswordHash(), adminTestPasswordHash(), adminTestPasswordHash()});
        exec("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(2,'704',1),(3,'709',1)");
        exec("insert into t_ICItem(FItemID,FNumber,FName) values(1,'01','茶叶'),(2,'02','茶杯')");
        exec("insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values"
             "(1,2026,10,4,10,40),(1,2026,11,10,10,100)");
        // A purchase from supplier 1 before the 5th, a sale to customer 101 after it.
        bill(1, 12, 3, 1, "(1,1,1,5,5,12,60,12,60,0),(1,2,2,4,4,10,40,10,40,0)");
        bill(2, 22, 10, 101, "(2,1,1,3,3,20,60,12,36,0)");
        startup::loginContext().reset();
    }
    void TearDown() override {
        conn.reset();
        if (!catalogue.isEmpty() && !isSqlite())
            accountdb::Catalogue(catalogue).removeAccountSet(dbName);
        if (!oldWork.isNull())
            qputenv("ZOSTORE_WORKDIR", oldWork);
        else
            qunsetenv("ZOSTORE_WORKDIR");
        BackendTest::TearDown();
    }

    void exec(const char *sql) { conn->execute(QString::fromUtf8(sql)); }
    void bill(int id, int tranType, int day, int orga, const char *entries) {
        conn->execute(QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,"
                                     "FDeleted,FOrgaID) values(?,?,?,2026,11,?,0,?)"),
                      {id, QStringLiteral("B%1").arg(id), QDateTime(QDate(2026, 11, day), QTime(9, 0)),
                       tranType, orga});
        conn->execute(
            QStringLiteral("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                           "FAmount,FUnitCost,FCost,FPreSend) values ") +
            QString::fromLatin1(entries));
    }
    Outcome run(const QStringList &args, const std::optional<QString> &password = AdminTestPassword) {
        return runAdminCommand(
            table, QStringList{args[0], dbName, QStringLiteral("--catalog"), catalogue} + args.mid(1),
            password);
    }
    Outcome clearAs(const QString &user, const QStringList &more,
                    const std::optional<QString> &password = AdminTestPassword) {
        return run(QStringList{QStringLiteral("clear-history"), QStringLiteral("--user"), user} + more,
                   password);
    }
    // Every table of the set as sorted text rows.
    QMap<QString, QStringList> everyTable() {
        QMap<QString, QStringList> all;
        for (const auto &t : accountdb::accountTables()) {
            if (!accountdb::hasTable(*conn, t.name))
                continue;
            QStringList rows;
            for (db::Recordset rs = conn->open(QStringLiteral("select * from ") + t.name); !rs.eof();
                 rs.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    cells << (rs.value(i).isNull() ? QStringLiteral("<null>")
                                                   : db::Recordset::textOf(rs.value(i)));
                rows << cells.join(u'|');
            }
            rows.sort();
            all.insert(t.name, rows);
        }
        return all;
    }
    double scalar(const char *sql) { return conn->scalar(QString::fromUtf8(sql)).toDouble(); }
    QStringList backups() { return QDir(work.path() + QStringLiteral("/backup")).entryList(QDir::Files); }
    static QString printedPath(const QString &out) {
        const auto m = QRegularExpression(QStringLiteral("Backed up to (.+)\\.\\n")).match(out);
        return m.hasMatch() ? QDir::fromNativeSeparators(m.captured(1)) : QString();
    }

    admin::CommandTable table = [] {
        admin::CommandTable t;
        t.add(admin::clearHistoryCommand());
        t.add(admin::backupCommand());
        t.add(admin::restoreCommand());
        t.add(admin::remindersCommand());
        return t;
    }();
    QTemporaryDir work;
    QByteArray oldWork;
    QString catalogue;
    QString dbName;
    std::optional<db::Connection> conn;
};

TEST_P(HistoryCommandsTest, clear_history_refuses_without_changes_then_keeps_balances_and_restores) {
    accountdb::writeAccountIdentity(*conn);
    const auto before = everyTable();
    const auto refused = [&](const QString &user, const QStringList &more, const QString &part,
                             const std::optional<QString> &password = AdminTestPassword, int code = 1) {
        const Outcome r = clearAs(user, more, password);
        EXPECT_EQ(r.code, code) << user.toStdString() << ' ' << more.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString();
        EXPECT_EQ(everyTable(), before);
        EXPECT_TRUE(backups().isEmpty());
    };
    const QStringList day = {QStringLiteral("--before"), QStringLiteral("2026-11-05"),
                             QStringLiteral("--backup")};
    refused(QStringLiteral("店员"), day, QStringLiteral("访问被拒绝！（权限 709）"));
    refused(QStringLiteral("会计"), day, QStringLiteral("密码错误"), QStringLiteral("wrong"));
    refused(QStringLiteral("会计"), day + QStringList{QStringLiteral("--no-remain-balances")},
            QStringLiteral("只有管理员"));
    for (const char *outside : {"2026-12-01", "2026-10-31"})
        refused(QStringLiteral("admin"),
                {QStringLiteral("--before"), QString::fromLatin1(outside), QStringLiteral("--backup")},
                QStringLiteral("清除截止日期必须在当前期间“2026年11月范围内"));
    refused(QStringLiteral("admin"), {QStringLiteral("--before"), QStringLiteral("2026-11-31")},
            QStringLiteral("--before"), AdminTestPassword, 2);
    refused(QStringLiteral("admin"), {}, QStringLiteral("--before"), AdminTestPassword, 2);

    const Outcome r = clearAs(QStringLiteral("会计"), day);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("删除数据成功！已清除 2026-11-05 以前的 1 张单据")))
        << r.out.toStdString();
    const QString file = printedPath(r.out);
    ASSERT_TRUE(QFile::exists(file)) << r.out.toStdString();
    EXPECT_EQ(scalar("select count(*) from ICStockBill"), 1);
    EXPECT_EQ(scalar("select count(*) from ICStockBillEntry where FInterID=1"), 0);
    // The purchase lives on in November's opening and in what we owe the supplier; October is gone.
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FYear=2026 and FPeriod=11 and FItemID=1"), 15);
    EXPECT_DOUBLE_EQ(scalar("select FBegBal from icbal where FYear=2026 and FPeriod=11 and FItemID=1"), 160);
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FYear=2026 and FPeriod=11 and FItemID=2"), 4);
    EXPECT_EQ(scalar("select count(*) from icbal where FPeriod=10"), 0);
    EXPECT_DOUBLE_EQ(scalar("select FAmount from t_WLBegBal where FOrgaType=1 and FOrgaID=1"), 100);

    const Outcome back = run({QStringLiteral("restore"), QStringLiteral("--user"), QStringLiteral("admin"),
                              QStringLiteral("--from"), file});
    ASSERT_EQ(back.code, 0) << back.err.toStdString();
    EXPECT_EQ(everyTable(), before);

    // Dropping the balances is a manager's choice; without them the stock opening goes with the bills.
    const Outcome bare = clearAs(QStringLiteral("admin"),
                                 {QStringLiteral("--before"), QStringLiteral("2026-11-05"),
                                  QStringLiteral("--no-remain-stock"), QStringLiteral("--no-remain-balances"),
                                  QStringLiteral("--delete-unused-items")});
    ASSERT_EQ(bare.code, 0) << bare.err.toStdString();
    EXPECT_EQ(scalar("select count(*) from icbal") + scalar("select count(*) from t_WLBegBal"), 0);
    EXPECT_EQ(scalar("select count(*) from t_ICItem"), 1) << "the tea cups are no longer used";
}

TEST_P(HistoryCommandsTest, backup_and_restore_need_a_manager_and_only_take_this_sets_backup) {
    accountdb::writeAccountIdentity(*conn);
    const auto before = everyTable();
    const QString file = work.path() + (isSqlite() ? QStringLiteral("/套.db") : QStringLiteral("/套.backup"));
    const auto backupAs = [&](const QString &user,
                              const std::optional<QString> &password = AdminTestPassword) {
        return run({QStringLiteral("backup"), QStringLiteral("--user"), user, QStringLiteral("--to"), file},
                   password);
    };
    const auto restoreFrom = [&](const QString &from) {
        return run({QStringLiteral("restore"), QStringLiteral("--user"), QStringLiteral("admin"),
                    QStringLiteral("--from"), from});
    };

    Outcome r = backupAs(QStringLiteral("会计"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("管理员"))) << r.err.toStdString();
    r = backupAs(QStringLiteral("admin"), QStringLiteral("wrong"));
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(QFile::exists(file));

    r = backupAs(QStringLiteral("admin"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(printedPath(r.out), file);
    r = backupAs(QStringLiteral("admin"));
    EXPECT_EQ(r.code, 1) << "never over an existing file";
    EXPECT_TRUE(r.err.contains(QStringLiteral("已经存在"))) << r.err.toStdString();

    exec("delete from ICStockBillEntry");
    exec("update t_ICItem set FName='改过'");
    const auto changed = everyTable();
    r = run({QStringLiteral("restore"), QStringLiteral("--user"), QStringLiteral("会计"),
             QStringLiteral("--from"), file});
    EXPECT_EQ(r.code, 1);
    const QString junk = work.path() + QStringLiteral("/junk.db");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a backup");
    f.close();
    for (const QString &bad : {junk, work.path() + QStringLiteral("/missing.db")}) {
        r = restoreFrom(bad);
        EXPECT_EQ(r.code, 1) << bad.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(everyTable(), changed);

    r = restoreFrom(file);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(everyTable(), before);

    // Without --to the backup goes to the work folder under the account's name.
    r = run({QStringLiteral("backup"), QStringLiteral("--user"), QStringLiteral("admin")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(printedPath(r.out).startsWith(work.path() + QStringLiteral("/backup/清除_")))
        << r.out.toStdString();
    EXPECT_EQ(run({QStringLiteral("restore"), QStringLiteral("--user"), QStringLiteral("admin")}).code, 2);
}

// The restore copies, checks and locks before it replaces anything: a damaged backup, a sound one that is
// not what its digest says, and one restored while another workstation holds the books are all refused
// with the set left exactly as it was.
TEST_P(HistoryCommandsTest, restore_takes_only_a_sound_backup_and_waits_for_the_books) {
    accountdb::writeAccountIdentity(*conn);
    const QString ext = isSqlite() ? QStringLiteral(".db") : QStringLiteral(".backup");
    const auto path = [&](const char *name) { return work.path() + u'/' + QString::fromUtf8(name) + ext; };
    const auto backupTo = [&](const QString &file) {
        const Outcome r = run({QStringLiteral("backup"), QStringLiteral("--user"), QStringLiteral("admin"),
                               QStringLiteral("--to"), file});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QDir::toNativeSeparators(accountdb::digestFileOf(file))))
            << r.out.toStdString();
    };
    const auto restoreFrom = [&](const QString &from) {
        return run({QStringLiteral("restore"), QStringLiteral("--user"), QStringLiteral("admin"),
                    QStringLiteral("--from"), from});
    };
    const auto copyTo = [](const QString &from, const QString &to) {
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(from, to)) << to.toStdString();
    };
    const auto overwrite = [](const QString &file, qint64 at) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(at));
        f.write(QByteArray(31, char(0xA5)));
    };
    const QString one = path("一"), two = path("二"), bad = path("坏");
    backupTo(one);
    const auto atOne = everyTable();
    QFile digest(accountdb::digestFileOf(one));
    ASSERT_TRUE(digest.open(QIODevice::ReadOnly));
    QFile body(one);
    ASSERT_TRUE(body.open(QIODevice::ReadOnly));
    // The digest file is one b2sum line, so the backup can be checked by hand as well.
    EXPECT_EQ(digest.readAll(), QCryptographicHash::hash(body.readAll(), QCryptographicHash::Blake2b_512).toHex() +
                                    "  " + QFileInfo(one).fileName().toUtf8() + "\n");
    exec("update t_ICItem set FName='改过' where FItemID=1");
    backupTo(two);
    exec("delete from ICStockBillEntry");

    // What must not move: every row, and on SQLite the file itself byte for byte.
    const QString liveFile =
        db::ConnectionString::parse(accountdb::Catalogue(catalogue).accountConnectionString(dbName))
            .dataSource;
    const auto state = [&] {
        QByteArray bytes;
        if (isSqlite()) {
            conn->execute(QStringLiteral("pragma wal_checkpoint(truncate)"));
            QFile f(liveFile);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            bytes = f.readAll();
        }
        return std::pair(everyTable(), bytes);
    };
    const auto live = state();
    const auto refused = [&](const QString &from, const QString &part) {
        const Outcome r = restoreFrom(from);
        EXPECT_EQ(r.code, 1) << from.toStdString();
        EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString();
        EXPECT_TRUE(state() == live) << from.toStdString();
        if (isSqlite()) {
            const QDir folder = QFileInfo(liveFile).absoluteDir();
            EXPECT_EQ(folder.entryList({QStringLiteral(".zostore-restore-*")}, QDir::Files | QDir::Hidden),
                      QStringList());
        }
    };

    // 31 bytes overwritten a third of the way in.
    copyTo(one, bad);
    copyTo(accountdb::digestFileOf(one), accountdb::digestFileOf(bad));
    overwrite(bad, QFileInfo(bad).size() / 3);
    const QString named = QStringLiteral("备份文件“%1”").arg(QDir::toNativeSeparators(bad));
    refused(bad, named + QStringLiteral("已损坏"));
    // A sound backup of this very set, but not the one its digest was written for.
    copyTo(two, bad);
    refused(bad, named + QStringLiteral("已损坏（内容与备份时写下的校验值不符"));
    // Without a digest (older versions): SQLite must pass the integrity check, here with an index page
    // damaged; PostgreSQL's archive fails in its one transaction.
    QFile::remove(accountdb::digestFileOf(bad));
    copyTo(one, bad);
    qint64 at = QFileInfo(bad).size() / 3;
    if (isSqlite()) {
        const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + bad;
        db::Connection b(cs);
        const qint64 pageSize = b.scalar(QStringLiteral("pragma page_size")).toLongLong();
        at = pageSize *
                 b.scalar(QStringLiteral("select rootpage from sqlite_master where name='ix_user_name'"))
                     .toLongLong() -
             31;
    }
    overwrite(bad, at);
    refused(bad, QStringLiteral("“%1”").arg(QDir::toNativeSeparators(bad)));

    // Another workstation holding the books: the restore waits its bounded time, then leaves the set alone.
    db::Connection::setBooksLockWait(300);
    const auto waitBack = qScopeGuard([] { db::Connection::setBooksLockWait(15000); });
    {
        db::Connection holder(accountdb::Catalogue(catalogue).accountConnectionString(dbName));
        holder.beginBooks();
        refused(one, QStringLiteral("锁"));
    }
    // Free again, with this fixture's connection still open on the set: restored, and seen through it.
    Outcome r = restoreFrom(one);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("注意")));
    EXPECT_EQ(everyTable(), atOne);
    // A sound backup without its digest is taken, with a note that only its integrity was checked.
    QFile::remove(accountdb::digestFileOf(two));
    r = restoreFrom(two);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("注意：备份文件旁没有校验文件"))) << r.out.toStdString();
    EXPECT_EQ(scalar("select count(*) from t_ICItem where FName='改过'"), 1);
}

ZOSTORE_BACKENDS(HistoryCommandsTest);

// The morning report by script: the rows the window shows, with the user's own grants.
TEST_P(HistoryCommandsTest, reminders_write_a_page_as_the_window_lists_it) {
    exec("insert into t_Supplier(FItemID,FNumber,FName) values(1,'S1','茶商, \"老王\"')");
    exec("insert into ICOrder(FInterID,FBillNo,FDate,FOrgaID) values(1,'PO1','2026-11-01 00:00:00',1)");
    exec("insert into ICOrderEntry(FInterID,FEntryID,FItemID,FQty,FCompleteQty,FPrice,FJhDate,FCancelAction) "
         "values"
         "(1,1,1,10,4,2.5,'2026-11-02 00:00:00',0),(1,2,2,10,0,1,'2099-01-01 00:00:00',0)");
    const QString csv = work.filePath(QStringLiteral("orders.csv"));
    const QStringList args{QStringLiteral("reminders"),
                           QStringLiteral("--user"),
                           QStringLiteral("会计"),
                           QStringLiteral("--page"),
                           QStringLiteral("3"),
                           QStringLiteral("--csv"),
                           csv};
    EXPECT_NE(run(args).code, 0); // no grant 723 yet
    EXPECT_FALSE(QFile::exists(csv));
    exec("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(3,'723',1)");
    const Outcome ok = run(args);
    ASSERT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains(QStringLiteral("共 1 行"))) << ok.out.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll().mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(
        lines.value(0).startsWith(QStringLiteral("供应商代码,供应商名称,订货单号,业务员,订货日期,商品代码")));
    // Without grant 702 the price and amount stay empty; the total row closes the list.
    EXPECT_TRUE(
        lines.value(2).startsWith(QStringLiteral("S1,\"茶商, \"\"老王\"\"\",PO1,,2026-11-01,01,茶叶")))
        << lines.value(2).toStdString();
    EXPECT_TRUE(lines.value(2).endsWith(QStringLiteral(",6,,,2026-11-02"))) << lines.value(2).toStdString();
    EXPECT_TRUE(lines.value(3).contains(QStringLiteral("★合计★")));
    for (const QStringList &bad :
         {QStringList{QStringLiteral("--page"), QStringLiteral("4"), QStringLiteral("--csv"), csv},
          QStringList{QStringLiteral("--page"), QStringLiteral("1")},
          QStringList{QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--csv"), csv,
                      QStringLiteral("--xlsx"), csv}})
        EXPECT_EQ(
            run(QStringList{QStringLiteral("reminders"), QStringLiteral("--user"), QStringLiteral("会计")} +
                bad)
                .code,
            2);
}

} // namespace zostore::test
