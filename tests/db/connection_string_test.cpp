// Connection strings: providers, quoting, faults named without echoing the password.
#include "db/ConnectionString.h"
#include "db/MessageText.h"
#include "db/Error.h"

#include <gtest/gtest.h>

using zostore::Error;
using zostore::db::ConnectionString;

namespace {

QString faultOf(const QString &text) {
    try {
        ConnectionString::parse(text);
    } catch (const Error &e) {
        return e.description();
    }
    return {};
}

} // namespace

TEST(ConnectionString, parses_both_providers_with_keys_in_any_case) {
    const auto s = ConnectionString::parse(QStringLiteral("provider=SQLite; DATA SOURCE = /tmp/a b/帐套.db ;"));
    EXPECT_TRUE(s.isSqlite());
    EXPECT_EQ(s.dataSource, QStringLiteral("/tmp/a b/帐套.db"));

    const auto p = ConnectionString::parse(
        QStringLiteral("Provider=PostgreSQL;Server=db1;Port=6543;User ID=shop;Password=\"p;w\"\"d\";Database=acct"));
    EXPECT_FALSE(p.isSqlite());
    EXPECT_EQ(p.server, QStringLiteral("db1"));
    EXPECT_EQ(p.port, 6543);
    EXPECT_EQ(p.password, QStringLiteral("p;w\"d"));
    EXPECT_EQ(p.databaseName(), QStringLiteral("acct"));
    // printing and parsing again gives the same values
    const auto again = ConnectionString::parse(p.toString());
    EXPECT_EQ(again.password, p.password);
    EXPECT_EQ(again.database, p.database);
    EXPECT_FALSE(p.redacted().contains(QStringLiteral("p;w")));
}

TEST(ConnectionString, refuses_foreign_providers_and_malformed_text_clearly) {
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=a")).contains(QStringLiteral("SQL Server")));
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=Microsoft.Jet.Oledb.4.0;Data Source=x.mdb")).contains(QStringLiteral("Access")));
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=SQLite;Data Source")).contains(QStringLiteral("缺少“=”")));
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=SQLite;Colour=red;Data Source=a")).contains(QStringLiteral("第 2 项")));
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=PostgreSQL;Server=a;Port=x;Database=b")).contains(QStringLiteral("端口")));
    EXPECT_TRUE(faultOf(QStringLiteral("Data Source=a.db")).contains(QStringLiteral("Provider")));
    EXPECT_TRUE(faultOf(QStringLiteral("Provider=PostgreSQL;Server=a;Password=\"secret")).contains(QStringLiteral("引号")));

    // a fault after the password never repeats it
    const QString msg = faultOf(QStringLiteral("Provider=PostgreSQL;Server=a;Password=Top$ecret;Bogus=1;Database=b"));
    EXPECT_FALSE(msg.isEmpty());
    EXPECT_FALSE(msg.contains(QStringLiteral("Top$ecret")));
    const QString msg2 = faultOf(QStringLiteral("Provider=PostgreSQL;Password=Top$ecret;Top$ecret"));
    EXPECT_TRUE(msg2.contains(QStringLiteral("第 3 段")));
    EXPECT_FALSE(msg2.contains(QStringLiteral("ecret")));
    // an unquoted ';' inside the password leaves its tail looking like a keyword
    const QString msg3 = faultOf(QStringLiteral("Provider=PostgreSQL;Password=ab;cd=ef;Database=b"));
    EXPECT_TRUE(msg3.contains(QStringLiteral("第 3 项"))) << msg3.toStdString();
    EXPECT_TRUE(msg3.contains(QStringLiteral("引号"))) << "says how to write it";
    for (const QString &part : {QStringLiteral("cd"), QStringLiteral("ef"), QStringLiteral("ab")})
        EXPECT_FALSE(msg3.contains(part)) << msg3.toStdString();
    const QString msg4 = faultOf(QStringLiteral("Provider=PostgreSQL;Password=xy;zz\"q=\"w"));
    EXPECT_FALSE(msg4.contains(QStringLiteral("zz"))) << msg4.toStdString();
    EXPECT_FALSE(faultOf(QStringLiteral("Provider=PostgreSQL;Server=a;Port=Pw9;Database=b")).contains(QStringLiteral("Pw9")));
}

TEST(MessageText, long_user_text_is_shortened_whole_characters_kept) {
    EXPECT_EQ(zostore::db::shortened(QStringLiteral("A001")), QStringLiteral("A001"));
    const QString s = zostore::db::shortened(QString(100000, QChar(0x4E2D)));
    EXPECT_LT(s.size(), 60);
    EXPECT_TRUE(s.contains(QStringLiteral("100000")));
    QString emoji;
    for (int i = 0; i < 30; ++i)
        emoji += QString::fromUcs4(U"\U0001F600");
    const QString e = zostore::db::shortened(emoji);
    EXPECT_FALSE(e.left(e.indexOf(QChar(0x2026))).back().isHighSurrogate());
}
