// Text a hostile or careless user types into the batch commands: quotes, wildcards, statement breaks,
// Chinese and 100,000 characters. Nothing is injected, nothing is lost, and messages stay short.
#include "accountdb/Catalogue.h"
#include "admin/CommandSet.h"
#include "db/Connection.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>

namespace zostore::test {

namespace {

const QStringList hostile = {QStringLiteral("'"),
                             QString(300, u'\''),
                             QStringLiteral("x' or '1'='1"),
                             QStringLiteral("%"),
                             QStringLiteral("_"),
                             QStringLiteral("a;drop table t_User;--"),
                             QStringLiteral("\"; drop table t_ICItem; --"),
                             QStringLiteral("王丽'；商品%_\\"),
                             QString(100000, u'a'),
                             QStringLiteral("'") + QString(100000, u'甲')};

// Longest message a user should have to read; a message quoting all of a long input is a fault.
constexpr int LongestMessage = 400;

class HostileInputTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_catalogue = db().createSibling(QStringLiteral("hcat"));
        accountdb::Catalogue cat(m_catalogue);
        cat.create();
        m_db = QStringLiteral("zs_hostile_%1").arg(QRandomGenerator::global()->bounded(1000000));
        m_conn.emplace(cat.createAccountSet(QStringLiteral("刁难"), m_db));
        m_conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager) values(1,'admin',?,1)"),
                        {adminTestPasswordHash()});
        m_conn->execute(QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(1,'01','门店',0)"));
        for (int i = 1; i <= 3; ++i)
            m_conn->execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FDel,FMinStock,FMaxStock,"
                                           "FSafeStock) values(?,?,?,0,?,?,?)"),
                            {i, QStringLiteral("A%1").arg(i), QStringLiteral("商品%1").arg(i), i, 10 * i, 2 * i});
        m_conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(1,1,3,9,4)"));
    }
    void TearDown() override {
        m_conn.reset();
        if (!m_db.isEmpty() && !IsSkipped())
            accountdb::Catalogue(m_catalogue).removeAccountSet(m_db);
        BackendTest::TearDown();
    }

    AdminOutcome admin(QStringList args, const QString &input = QString()) {
        args.prepend(QStringLiteral("--catalog"));
        args.insert(1, m_catalogue);
        return runAdminCommand(admin::allCommands(), args, AdminTestPassword, input);
    }

    // Every table, every user and every limit, so that a statement that got through shows.
    QString books() {
        QStringList parts;
        for (const QString &q : {QStringLiteral("select FUserID,FName,FManager from t_User order by 1"),
                                 QStringLiteral("select FItemID,FNumber,FName,FMinStock,FMaxStock,FSafeStock "
                                                "from t_ICItem order by 1"),
                                 QStringLiteral("select FStockID,FItemID,FMin,FMax,FSafe from ICSafeStock order by 1,2"),
                                 QStringLiteral("select count(*) from t_Grant"), QStringLiteral("select count(*) from t_Stock")}) {
            db::Recordset rs = m_conn->open(q);
            for (; !rs.eof(); rs.moveNext())
                for (int i = 0; i < rs.fieldCount(); ++i)
                    parts << db::Recordset::textOf(rs.value(i));
        }
        return parts.join(u'|');
    }

    QString m_catalogue, m_db;
    std::optional<db::Connection> m_conn;
};

TEST_P(HostileInputTest, nothing_injected_nothing_lost_messages_shortened) {
    const QString start = books();
    int inputs = 0;
    for (const QString &h : hostile) {
        SCOPED_TRACE(h.left(40).toStdString());
        ++inputs;
        // An item range is only compared: it finds nothing and changes nothing it should not.
        AdminOutcome o = admin({QStringLiteral("stocklimit"), m_db, QStringLiteral("--user"), QStringLiteral("admin"),
                                QStringLiteral("--from-item"), h, QStringLiteral("--to-item"), h});
        EXPECT_EQ(o.code, 0) << o.err.left(300).toStdString();
        EXPECT_EQ(books(), start);

        // Names that must match something are refused, in a message of readable length.
        for (const QStringList &args :
             {QStringList{QStringLiteral("stocklimit"), m_db, QStringLiteral("--user"), QStringLiteral("admin"),
                          QStringLiteral("--store"), h},
              QStringList{QStringLiteral("safestock-import"), m_db, QStringLiteral("--user"), QStringLiteral("admin"),
                          QStringLiteral("--store"), h},
              QStringList{QStringLiteral("cost"), m_db, QStringLiteral("--user"), h},
              QStringList{QStringLiteral("passwd"), m_db, h, QStringLiteral("--user"), QStringLiteral("admin")},
              QStringList{QStringLiteral("close"), h, QStringLiteral("--user"), QStringLiteral("admin")},
              QStringList{QStringLiteral("create-account"), h, h}}) {
            if (args.first() == QLatin1String("create-account") && accountdb::Catalogue::isValidDatabaseName(h))
                continue; // a database may well be called "_"
            o = admin(args, QStringLiteral("new-pass-1\n"));
            EXPECT_EQ(o.code, 1) << args.first().toStdString() << ": " << o.err.left(300).toStdString();
            EXPECT_FALSE(o.err.trimmed().isEmpty()) << args.first().toStdString();
            EXPECT_LE(o.err.size(), LongestMessage) << args.first().toStdString() << ": " << o.err.left(300).toStdString();
            EXPECT_EQ(books(), start) << args.first().toStdString();
        }
        EXPECT_EQ(accountdb::Catalogue(m_catalogue).list().size(), 1);
    }

    // A user name is stored exactly as typed when it fits, and refused alike on both backends when not.
    int stored = 0;
    for (const QString &h : hostile) {
        const AdminOutcome o = admin({QStringLiteral("add-user"), m_db, h, QStringLiteral("--user"),
                                      QStringLiteral("admin"), QStringLiteral("--password-stdin")},
                                     QStringLiteral("secret-1\n"));
        const bool fits = !h.trimmed().isEmpty() && h.trimmed().size() <= 80;
        EXPECT_EQ(o.code, fits ? 0 : 1) << h.left(40).toStdString() << ": " << o.err.left(300).toStdString();
        EXPECT_LE(o.err.size(), LongestMessage);
        const int found =
            m_conn->scalar(QStringLiteral("select count(*) from t_User where FName=?"), {h.trimmed()}).toInt();
        EXPECT_EQ(found, fits ? 1 : 0) << h.left(40).toStdString();
        stored += found;
    }
    EXPECT_EQ(m_conn->scalar(QStringLiteral("select count(*) from t_User")).toInt(), 1 + stored);
    EXPECT_TRUE(m_conn->scalar(QStringLiteral("select count(*) from t_ICItem")).toInt() == 3);
    std::printf("hostile inputs %s: %d texts through %d commands each, nothing injected, %d users stored verbatim\n",
                isSqlite() ? "SQLite" : "PostgreSQL", inputs, 8, stored);
}

ZOSTORE_BACKENDS(HostileInputTest);

} // namespace

} // namespace zostore::test
