// Generated account sets: deterministic by counts, consistent, refused when the counts are wrong, and
// listed in the catalogue only once they are whole.
#include "accountdb/Catalogue.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "demo/Generator.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <cstdlib>

using namespace zostore;
using namespace zostore::accountdb;
using namespace zostore::demo;

namespace {

class GeneratorTest : public test::BackendTest {
protected:
    QString fresh(const QString &name) {
        const QString cs = db().createSibling(name);
        db::Connection c(cs);
        createAccountSchema(c);
        insertProfileDefaults(c, 2025, 1);
        return cs;
    }
};

GeneratorCounts small(int bills) {
    GeneratorCounts c;
    c.items = 120;
    c.stores = 3;
    c.members = 40;
    c.bills = bills;
    c.lines = 4;
    c.months = 3;
    c.lastDay = QDate(2025, 3, 20);
    return c;
}

} // namespace

TEST_P(GeneratorTest, same_counts_give_the_same_content) {
    const QString a = fresh(QStringLiteral("ga")), b = fresh(QStringLiteral("gb")),
                  d = fresh(QStringLiteral("gd"));
    db::Connection ca(a), cb(b), cd(d);
    QStringList stages;
    const auto r = generateAccount(ca, small(300), [&](const QString &s) { stages << s; });
    generateAccount(cb, small(300));
    generateAccount(cd, small(301));
    EXPECT_EQ(r.bills, 300);
    EXPECT_EQ(r.lines, 1200);
    EXPECT_EQ(r.balances, 360);
    EXPECT_GT(r.rows, 1900);
    EXPECT_FALSE(stages.isEmpty());
    EXPECT_EQ(contentChecksum(ca), contentChecksum(cb));
    // Both backends make the same content; a change to the generator shows here.
    EXPECT_EQ(contentChecksum(ca),
              QStringLiteral("26e03d2e4ffedb0d7b9873254a928ffd27871c91aa05acb7bb0f4bf1be0607a6"))
        << contentChecksum(ca).toStdString();
    EXPECT_NE(contentChecksum(ca), contentChecksum(cd));

    // Bills stay inside the months asked for, header sums match the entries, and the balances carry.
    EXPECT_EQ(ca.scalar(QStringLiteral("select count(*) from ICStockBill where FDate<? or FDate>?"),
                        {QDateTime(QDate(2025, 1, 1), QTime()), QDateTime(QDate(2025, 3, 20), QTime(23, 59))})
                  .toInt(),
              0);
    EXPECT_EQ(ca.scalar(QStringLiteral("select count(distinct FTranType) from ICStockBill")).toInt(), 11);
    EXPECT_EQ(ca.scalar(QStringLiteral(
                            "select count(*) from ICStockBill t1 inner join (select FInterID,sum(FAmount) a "
                            "from ICStockBillEntry group by FInterID) t2 on t1.FInterID=t2.FInterID "
                            "where abs(t1.FSumAmount-t2.a)>0.005"))
                  .toInt(),
              0);
    const double q1 = ca.scalar(QStringLiteral("select sum(FBegQty) from icbal where FPeriod=1")).toDouble();
    const double q2 = ca.scalar(QStringLiteral("select sum(FBegQty) from icbal where FPeriod=2")).toDouble();
    const double moved = ca.scalar(QStringLiteral("select sum(case when t.FTranType in (12,15,16,24) then "
                                                  "e.FQty when t.FTranType in (14,22,25,26,33,99) then "
                                                  "-e.FQty else 0 end) from ICStockBill t inner join "
                                                  "ICStockBillEntry e on t.FInterID=e.FInterID where "
                                                  "t.FPeriod=1"))
                             .toDouble();
    EXPECT_NEAR(q1 + moved, q2, 0.001);
    EXPECT_EQ(readProfile(ca, QStringLiteral("currentperiod")), QStringLiteral("3"));
    EXPECT_EQ(readProfile(ca, QStringLiteral("startperiod")), QStringLiteral("1"));
}

TEST_P(GeneratorTest, refuses_bad_counts_and_filled_sets) {
    const QString a = fresh(QStringLiteral("gr"));
    db::Connection c(a);
    for (auto bad : {&GeneratorCounts::items, &GeneratorCounts::bills, &GeneratorCounts::lines,
                     &GeneratorCounts::months}) {
        GeneratorCounts counts = small(10);
        counts.*bad = 0;
        EXPECT_THROW(generateAccount(c, counts), Error);
    }
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from t_PriceStyle")).toInt(), 0);
    generateAccount(c, small(10));
    EXPECT_THROW(generateAccount(c, small(10)), Error);
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 10);
}

ZOSTORE_BACKENDS(GeneratorTest);

TEST_P(GeneratorTest, a_generation_cut_off_half_way_is_not_listed_and_does_not_block_the_next) {
    QString catalogue, setName = QStringLiteral("zs_gen_cut");
    if (isSqlite()) {
        catalogue = QStringLiteral("Provider=SQLite;Data Source=%1/sets/catalog.db").arg(db().dir());
    } else {
        auto cs = db::ConnectionString::parse(test::postgresAdminString());
        const QString suffix = QString::number(QCoreApplication::applicationPid());
        cs.database = QStringLiteral("zs_gencat_") + suffix;
        catalogue = cs.toString();
        setName += QLatin1Char('_') + suffix;
    }
    struct Drop {
        bool pg;
        QStringList names;
        ~Drop() {
            if (pg)
                for (const QString &n : names)
                    db::Connection(test::postgresAdminString())
                        .execute(QStringLiteral("drop database if exists %1 with (force)").arg(n));
        }
    } drop{!isSqlite(), {db::ConnectionString::parse(catalogue).database, setName}};
    Catalogue cat(catalogue);
    cat.create();
    const auto generate = [&](const std::function<void()> &halfWay) {
        cat.createAccountSet(QStringLiteral("大帐套"), setName, [&](db::Connection &conn) {
            generateAccount(conn, small(200), [&](const QString &stage) {
                if (stage.startsWith(QStringLiteral("单据分录")))
                    halfWay();
            });
        });
    };
    // a failure drops what was made; the process ending there leaves a marked database the list lacks
    EXPECT_THROW(generate([] { throw Error(QStringLiteral("故障")); }), Error);
    EXPECT_TRUE(cat.list().isEmpty());
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(generate([] { std::_Exit(9); }), testing::ExitedWithCode(9), "");
    EXPECT_TRUE(cat.list().isEmpty());
    {
        db::Connection left(cat.accountConnectionString(setName));
        EXPECT_TRUE(hasTable(left, QStringLiteral("zs_unregistered")));
        EXPECT_EQ(left.scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 0);
    }

    generate([] {});
    ASSERT_EQ(cat.list().size(), 1);
    db::Connection c(cat.accountConnectionString(setName));
    EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from ICStockBillEntry")).toInt(), 800);
    EXPECT_FALSE(hasTable(c, QStringLiteral("zs_unregistered")));
}
