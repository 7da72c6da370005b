// Procedure calls: typed named arguments, one transaction, a time-out.
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "support/TestDatabase.h"

using namespace zostore;
using zostore::test::BackendTest;

namespace {

class ProcedureTest : public BackendTest {
protected:
    static void SetUpTestSuite() {
        db::ProcedureRegistry::instance().add(
            {QStringLiteral("test_AddRow"),
             {{QStringLiteral("@ID"), db::ParamType::Integer}, {QStringLiteral("@Fail"), db::ParamType::Boolean}},
             [](db::Connection &c, const db::ProcArgs &a) {
                 c.execute(QStringLiteral("insert into t_T (FID) values (?)"), {a.toInt(QStringLiteral("@id"))});
                 if (a.toBool(QStringLiteral("@Fail")))
                     throw Error(QStringLiteral("故意失败"));
                 return c.open(QStringLiteral("select count(*) as n from t_T"));
             }});
        db::ProcedureRegistry::instance().add(
            {QStringLiteral("test_Slow"), {}, [](db::Connection &c, const db::ProcArgs &) {
                 if (c.isSqlite())
                     c.scalar(QStringLiteral("with recursive r(i) as (select 1 union all select i+1 from r) "
                                             "select count(*) from r"));
                 else
                     c.execute(QStringLiteral("select pg_sleep(10)"));
                 return db::Recordset();
             }});
    }
    void SetUp() override {
        BackendTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            db().connect().execute(QStringLiteral("create table t_T (FID integer)"));
    }
};

db::ProcArgs args(QVariant id, QVariant fail) {
    db::ProcArgs a;
    a.add(QStringLiteral("@ID"), db::ParamType::Integer, id).add(QStringLiteral("@Fail"), db::ParamType::Boolean, fail);
    return a;
}

} // namespace

TEST_P(ProcedureTest, call_commits_or_leaves_nothing) {
    auto c = db().connect();
    auto rows = c.callProcedure(QStringLiteral("TEST_addrow"), args(7, false));
    EXPECT_EQ(rows.toInt(QStringLiteral("n")), 1);
    EXPECT_THROW(c.callProcedure(QStringLiteral("test_AddRow"), args(8, true)), Error);
    EXPECT_FALSE(c.inTransaction());
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_T")).toInt(), 1);
}

TEST_P(ProcedureTest, arguments_are_checked_by_name_and_type) {
    auto c = db().connect();
    auto message = [&](const db::ProcArgs &a, const QString &name = QStringLiteral("test_AddRow")) {
        try {
            c.callProcedure(name, a);
        } catch (const Error &e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_TRUE(message(args(QStringLiteral("x1"), false)).contains(QStringLiteral("@ID")));
    EXPECT_TRUE(message(args(1.5, false)).contains(QStringLiteral("@ID")));
    EXPECT_TRUE(message(args(4294967296.0, false)).contains(QStringLiteral("@ID")));
    db::ProcArgs missing;
    missing.add(QStringLiteral("@ID"), db::ParamType::Integer, 1);
    EXPECT_TRUE(message(missing).contains(QStringLiteral("缺少参数 @Fail")));
    auto extra = args(1, false);
    extra.add(QStringLiteral("@Other"), db::ParamType::Text, QStringLiteral("a"));
    EXPECT_TRUE(message(extra).contains(QStringLiteral("@Other")));
    EXPECT_TRUE(message(args(1, false), QStringLiteral("sp_Nothing")).contains(QStringLiteral("sp_Nothing")));
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_T")).toInt(), 0);
}

TEST_P(ProcedureTest, time_out_cancels_and_connection_stays_usable) {
    auto c = db().connect();
    try {
        c.callProcedure(QStringLiteral("test_Slow"), {}, 1);
        FAIL() << "no time-out";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("超时"))) << e.description().toStdString();
    }
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_T")).toInt(), 0);
    auto rows = c.callProcedure(QStringLiteral("test_AddRow"), args(1, false), 0);
    EXPECT_EQ(rows.toInt(QStringLiteral("n")), 1);
}

ZOSTORE_BACKENDS(ProcedureTest);
