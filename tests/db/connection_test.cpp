// Statements, recordsets, shims, transactions and lock conflicts, on both backends.
#include "db/Connection.h"
#include "db/Error.h"
#include "db/LockRetry.h"
#include "db/PostgresShims.h"
#include "db/SqlText.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

using namespace zostore;
using zostore::test::BackendTest;

namespace {

class ConnectionTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        auto c = db().connect();
        if (!isSqlite())
            for (const QString &s : db::postgresShimStatements())
                c.execute(s);
        const QString money = isSqlite() ? QStringLiteral("real") : QStringLiteral("numeric(19,4)");
        c.execute(QStringLiteral("create table t_Item (FItemID integer primary key, FNumber varchar(80), "
                                 "FName varchar(255), FPrice %1, FDate timestamp, FNote text)")
                      .arg(money));
    }
};

} // namespace

TEST_P(ConnectionTest, values_travel_verbatim_and_fields_read_without_case) {
    auto c = db().connect();
    const QString nasty = QStringLiteral("O'Brien; drop table t_Item; -- 张三的店");
    const QString longText = QString(5000, QChar(0x4E2D));
    c.execute(QStringLiteral("insert into t_Item (FItemID, FNumber, FName, FPrice, FDate, FNote) values (?,?,?,?,?,?)"),
              {1, QStringLiteral("A'1"), nasty, 12.5, QDate(2026, 2, 28), longText});
    c.execute(QStringLiteral("insert into t_Item (FItemID, FNumber) values (?,?)"), {2, QStringLiteral("B")});

    auto rs = c.open(QStringLiteral("select * from t_Item where FName = ? order by FItemID"), {nasty});
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("fname")), nasty);
    EXPECT_EQ(rs.text(QStringLiteral("FNUMBER")), QStringLiteral("A'1"));
    EXPECT_EQ(rs.text(QStringLiteral("FNote")), longText);
    EXPECT_DOUBLE_EQ(rs.toDouble(QStringLiteral("FPrice")), 12.5);
    EXPECT_EQ(rs.text(QStringLiteral("FDate")), QStringLiteral("2026-02-28"));
    EXPECT_EQ(rs.toDate(QStringLiteral("FDate")), QDate(2026, 2, 28));
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.text(QStringLiteral("FName")), Error);

    // Null reads as empty, zero, false
    auto n = c.open(QStringLiteral("select FName, FPrice, FDate from t_Item where FItemID=?"), {2}, db::Cursor::Forward);
    ASSERT_FALSE(n.eof());
    EXPECT_TRUE(n.isNull(QStringLiteral("FName")));
    EXPECT_EQ(n.text(QStringLiteral("FName")), QString());
    EXPECT_EQ(n.toInt(QStringLiteral("FPrice")), 0);
    EXPECT_FALSE(n.toBool(QStringLiteral("FPrice")));
    EXPECT_FALSE(n.toDateTime(QStringLiteral("FDate")).isValid());
    EXPECT_THROW(n.value(QStringLiteral("FMissing")), Error);
    n.moveNext();
    EXPECT_TRUE(n.eof());

    // a set built in memory reads like one from a statement; short rows read as Null
    auto m = db::Recordset::fromRows({QStringLiteral("FNumber"), QStringLiteral("FQty")},
                                     {{QStringLiteral("A'1"), 3}, {QStringLiteral("B")}});
    EXPECT_EQ(m.recordCount(), 2);
    EXPECT_EQ(m.text(QStringLiteral("fnumber")), QStringLiteral("A'1"));
    m.moveNext();
    EXPECT_TRUE(m.isNull(QStringLiteral("FQty")));
    m.moveNext();
    EXPECT_TRUE(m.eof());

    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_Item")).toInt(), 2);

    // the one text built into SQL: a user condition, quoted by doubling apostrophes
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_Item where FName=") + db::sqlLiteral(nasty)).toInt(), 1);
    EXPECT_EQ(c.scalar(QStringLiteral("select ") + db::sqlLiteral(QStringLiteral("''x'--"))).toString(),
              QStringLiteral("''x'--"));
    EXPECT_FALSE(c.scalar(QStringLiteral("select FName from t_Item where FItemID=?"), {99}).isValid());
}

TEST_P(ConnectionTest, date_ranges_include_both_ends) {
    auto c = db().connect();
    c.execute(QStringLiteral("insert into t_Item (FItemID, FDate) values (1, ?), (2, ?), (3, ?)"),
              {QDateTime(QDate(2026, 1, 31), QTime(0, 0)), QDateTime(QDate(2026, 1, 31), QTime(15, 30)),
               QDate(2026, 1, 1)});
    const int n = c.scalar(QStringLiteral("select count(*) from t_Item where FDate between ? and ?"),
                           {QDate(2026, 1, 1), QDate(2026, 1, 31)})
                      .toInt();
    EXPECT_EQ(n, 2); // midnight of the last day is inside, its afternoon is not
}

TEST_P(ConnectionTest, shims_behave_alike) {
    auto c = db().connect();
    c.execute(QStringLiteral("insert into t_Item (FItemID, FName, FPrice, FDate) values (1, ?, ?, ?)"),
              {QStringLiteral("鲜牛奶二五零毫升"), -7.9, QDateTime(QDate(2024, 2, 29), QTime(8, 5, 6))});
    auto rs = c.open(QStringLiteral(
        "select isnull(FNote, 'x') as a, month(FDate) as m, day(FDate) as d, year(FDate) as y, left(FName, 3) as l, "
        "toint(FPrice) as ti, ceiling(FPrice) as ce, isnull(FPrice, 0) as p, len('ab  ') as n, "
        "eomonth(FDate) as e, adddays(FDate, 1) as nd from t_Item"));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(QStringLiteral("a")), QStringLiteral("x"));
    EXPECT_EQ(rs.toInt(QStringLiteral("m")), 2);
    EXPECT_EQ(rs.toInt(QStringLiteral("d")), 29);
    EXPECT_EQ(rs.toInt(QStringLiteral("y")), 2024);
    EXPECT_EQ(rs.text(QStringLiteral("l")), QStringLiteral("鲜牛奶"));
    EXPECT_EQ(rs.toInt(QStringLiteral("ti")), -7); // truncates, does not round
    EXPECT_EQ(rs.toInt(QStringLiteral("ce")), -7);
    EXPECT_DOUBLE_EQ(rs.toDouble(QStringLiteral("p")), -7.9);
    EXPECT_EQ(rs.toInt(QStringLiteral("n")), 2);
    EXPECT_EQ(rs.toDate(QStringLiteral("e")), QDate(2024, 2, 29));
    EXPECT_EQ(rs.toDateTime(QStringLiteral("nd")), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 6)));
    const QDate today = c.open(QStringLiteral("select getdate() as g")).toDate(QStringLiteral("g"));
    EXPECT_EQ(today, QDate::currentDate());
}

TEST_P(ConnectionTest, transaction_scope_rolls_back_unless_committed) {
    auto c = db().connect();
    {
        db::Transaction t(c);
        c.execute(QStringLiteral("insert into t_Item (FItemID) values (1)"));
        {
            db::Transaction inner(c);
            c.execute(QStringLiteral("insert into t_Item (FItemID) values (2)"));
        } // inner rolled back to its savepoint
        t.commit();
    }
    {
        db::Transaction t(c);
        c.execute(QStringLiteral("insert into t_Item (FItemID) values (3)"));
    }
    try {
        db::Transaction t(c);
        c.execute(QStringLiteral("insert into t_Item (FItemID) values (4)"));
        c.execute(QStringLiteral("insert into t_Item (FItemID) values (4)")); // duplicate key
        t.commit();
    } catch (const Error &e) {
        EXPECT_FALSE(e.isLock());
    }
    EXPECT_FALSE(c.inTransaction());
    auto rs = c.open(QStringLiteral("select FItemID from t_Item order by FItemID"));
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.toInt(QStringLiteral("FItemID")), 1);
}

TEST_P(ConnectionTest, lock_conflict_says_lock_and_retry_is_bounded) {
    auto holder = db().connect();
    auto other = db().connect();
    holder.execute(QStringLiteral("insert into t_Item (FItemID, FName) values (1, 'a')"));
    if (!isSqlite())
        other.execute(QStringLiteral("set lock_timeout = 100"));
    holder.begin();
    holder.execute(QStringLiteral("update t_Item set FName='b' where FItemID=1"));

    int attempts = 0;
    try {
        db::withLockRetry([&] {
            ++attempts;
            return other.execute(QStringLiteral("update t_Item set FName='c' where FItemID=1"));
        }, 3);
        FAIL() << "the update went through a held lock";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("锁"))) << e.description().toStdString();
    }
    EXPECT_EQ(attempts, 3);

    // once the holder lets go, a retry succeeds
    holder.commit();
    attempts = 0;
    db::withLockRetry([&] {
        ++attempts;
        return other.execute(QStringLiteral("update t_Item set FName='c' where FItemID=1"));
    });
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(holder.scalar(QStringLiteral("select FName from t_Item")).toString(), QStringLiteral("c"));

    // other errors are not retried
    attempts = 0;
    EXPECT_THROW(db::withLockRetry([&] {
                     ++attempts;
                     return other.execute(QStringLiteral("update t_Nothing set FName='c'"));
                 }),
                 Error);
    EXPECT_EQ(attempts, 1);
}

TEST_P(ConnectionTest, books_lock_admits_one_holder_and_a_waiter_gives_up_in_plain_words) {
    db::Connection::setBooksLockWait(150);
    auto holder = db().connect();
    auto other = db().connect();
    {
        db::Transaction held(holder, db::Transaction::Lock::Books);
        holder.execute(QStringLiteral("insert into t_Item (FItemID, FName) values (1, 'a')"));
        for (bool nested : {false, true}) {
            try {
                std::optional<db::Transaction> outer;
                if (nested && !isSqlite()) // SQLite's outer transaction would already be the lock
                    outer.emplace(other);
                db::Transaction waiting(other, db::Transaction::Lock::Books);
                FAIL() << "two holders of the account-set lock";
            } catch (const Error &e) {
                EXPECT_EQ(e.number(), Error::Lock);
                EXPECT_TRUE(e.isLock());
                EXPECT_TRUE(e.description().startsWith(QStringLiteral("另一台电脑正在"))) << e.description().toStdString();
            }
            EXPECT_FALSE(other.inTransaction());
        }
        // the holder may take it again inside its own transaction
        db::Transaction again(holder, db::Transaction::Lock::Books);
        again.commit();
        held.commit();
    }
    db::Transaction after(other, db::Transaction::Lock::Books);
    other.execute(QStringLiteral("update t_Item set FName='b'"));
    after.commit();
    EXPECT_EQ(holder.scalar(QStringLiteral("select FName from t_Item")).toString(), QStringLiteral("b"));
    db::Connection::setBooksLockWait(15000);
}

// A report or zostore-admin opens the same account set read-write, reads and closes, while this process
// keeps one connection open (a window's lookups) and opens others to save.
TEST_P(ConnectionTest, a_kept_connection_and_its_saves_outlive_other_programs_on_the_same_file) {
    auto kept = db().connect();
    kept.execute(QStringLiteral("insert into t_Item(FItemID,FName) values(1,'甲')"));
    for (int id = 2; id <= 4; ++id) {
        {
            auto save = db().connect();
            db::Transaction t(save);
            save.execute(QStringLiteral("insert into t_Item(FItemID,FName) values(?,'乙')"), {id});
            t.commit();
        }
        QProcess peer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZOSTORE_PEER_CNSTR"), cnstr());
        peer.setProcessEnvironment(env);
        peer.start(QStringLiteral(ZOSTORE_DB_PEER), {QStringLiteral("select count(*) from t_Item")});
        ASSERT_TRUE(peer.waitForFinished(60000));
        EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardError().toStdString();
        EXPECT_EQ(peer.readAllStandardOutput().trimmed(), QByteArray::number(id));
        EXPECT_EQ(kept.scalar(QStringLiteral("select count(*) from t_Item")).toInt(), id);
    }
    kept.execute(QStringLiteral("update t_Item set FName='丙' where FItemID=1"));
    auto last = db().connect();
    EXPECT_EQ(last.scalar(QStringLiteral("select count(*) from t_Item where FName='乙'")).toInt(), 3);
    EXPECT_EQ(last.scalar(QStringLiteral("select FName from t_Item where FItemID=1")).toString(),
              QStringLiteral("丙"));
    if (isSqlite()) {
        EXPECT_EQ(last.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
    }
}

ZOSTORE_BACKENDS(ConnectionTest);

TEST(Connection, unreachable_databases_are_reported_plainly) {
    try {
        db::Connection c(QStringLiteral("Provider=SQLite;Data Source=/nonexistent/dir/none.db"));
        FAIL();
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("不存在"))) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("/nonexistent/dir/none.db")));
    }
    try {
        db::Connection c(QStringLiteral(
            "Provider=PostgreSQL;Server=127.0.0.1;Port=1;User ID=u;Password=Sec'ret;Database=d;Connect Timeout=2"));
        FAIL();
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("不能连接数据库")));
        EXPECT_FALSE(e.description().contains(QStringLiteral("Sec'ret")));
    }
}

// A file that is not a sound account set is named, explained and left exactly as it was.
TEST(Connection, unusable_sqlite_files_are_named_and_left_untouched) {
    QTemporaryDir dir;
    const auto fault = [](const QString &path, bool query) {
        try {
            db::Connection c(QStringLiteral("Provider=SQLite;Data Source=%1").arg(path));
            if (query)
                c.scalar(QStringLiteral("select count(*) from sqlite_master"));
            c.execute(QStringLiteral("create table t_x (a integer)"));
        } catch (const Error &e) {
            return e.description();
        }
        return QString();
    };
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    QByteArray corrupt("SQLite format 3\0", 16);
    corrupt += QByteArray(4096 - 16, '\x5a');
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray(), QStringLiteral("不是帐套数据库文件")},
        {QByteArray("FStockID,FItemID\r\n"), QStringLiteral("不是帐套数据库文件")},
        {corrupt, QStringLiteral("损坏")}};
    int n = 0;
    for (const auto &[bytes, expected] : cases) {
        const QString path = dir.filePath(QStringLiteral("set%1.db").arg(++n));
        write(path, bytes);
        const QString msg = fault(path, true);
        EXPECT_TRUE(msg.contains(expected)) << msg.toStdString();
        EXPECT_TRUE(msg.contains(QFileInfo(path).absoluteFilePath())) << msg.toStdString();
        EXPECT_FALSE(msg.contains(QStringLiteral("锁"))) << msg.toStdString();
        EXPECT_EQ(bytesOf(path), bytes) << "byte-identical: " << n;
    }

    // A full disk: the page limit stands in for it.
    const QString full = dir.filePath(QStringLiteral("full.db"));
    {
        db::Connection c(QStringLiteral("Provider=SQLite;Data Source=%1").arg(full), db::Connection::OpenMode::Create);
        c.execute(QStringLiteral("create table t_x (a text)"));
        c.execute(QStringLiteral("pragma max_page_count=%1").arg(c.scalar(QStringLiteral("pragma page_count")).toInt() + 2));
        try {
            c.execute(QStringLiteral("insert into t_x with recursive n(i) as (select 1 union all select i+1 from n "
                                     "where i<2000) select hex(randomblob(500)) from n"));
            ADD_FAILURE() << "page limit ignored";
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("磁盘已满"))) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(QFileInfo(full).absoluteFilePath()));
        }
        EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_x")).toInt(), 0);
    }

    // Read-only: only meaningful when permissions bind this user.
    const QString ro = dir.filePath(QStringLiteral("ro.db"));
    { db::Connection c(QStringLiteral("Provider=SQLite;Data Source=%1").arg(ro), db::Connection::OpenMode::Create);
      c.execute(QStringLiteral("create table t_x (a integer)")); }
    const QByteArray before = bytesOf(ro);
    QFile::setPermissions(ro, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (QFileInfo(ro).isWritable())
        return; // running as root
    const QString msg = fault(ro, false);
    EXPECT_TRUE(msg.contains(QStringLiteral("只读"))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(QFileInfo(ro).absoluteFilePath()));
    EXPECT_EQ(bytesOf(ro), before);
}

