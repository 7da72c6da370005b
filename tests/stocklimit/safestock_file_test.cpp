// The exchange file: exact text, the editor's full export, and reading it into another account set.
#include "StockFixture.h"

#include "db/Error.h"
#include "stocklimit/SafeStockFile.h"

#include <QFile>

namespace zostore::test {

using stocklimit::GenerationRequest;
using stocklimit::SafeStockFile;

class SafeStockFileTest : public StockFixture {
protected:
    QByteArray fileText() {
        QFile f(path());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void setFile(const QByteArray &text) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QString path() { return db().dir() + QStringLiteral("/safestock.txt"); }
};

TEST_P(SafeStockFileTest, writers_produce_the_exact_format) {
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values"
                                 "(1,3,2.5,10,0),(1,1,1,20,3),(2,1,4,5,6),(1,4,7,7,7)"));
    conn->execute(QStringLiteral("update t_icitem set FMinStock=12,FMaxStock=30.25,FSafeStock=0 where FItemID=2"));

    GenerationRequest store{first, last, QString(), QString(), 1, 0, 0, 0, true};
    EXPECT_EQ(SafeStockFile::writeGenerated(*conn, path(), store), 2);
    EXPECT_EQ(fileText(), QByteArray("1,1,1,20,3\r\n1,3,2.5,10,0\r\n")) << "item order, range 0..z";

    GenerationRequest totals{first, last, QStringLiteral("A002"), QStringLiteral("zz9"), 0, 0, 0, 0, true};
    SafeStockFile::writeGenerated(*conn, path(), totals);
    EXPECT_EQ(fileText(), QByteArray("0,2,12,30.25,0\r\n0,5,0,0,0\r\n0,3,0,0,0\r\n0,4,0,0,0\r\n"))
        << "overwritten; the deleted A003 is in range too";

    EXPECT_EQ(SafeStockFile::writeAll(*conn, path()), 10);
    EXPECT_EQ(fileText(), QByteArray("0,1,0,0,0\r\n0,2,12,30.25,0\r\n0,5,0,0,0\r\n0,3,0,0,0\r\n0,4,0,0,0\r\n"
                                     "0,6,0,0,0\r\n1,1,1,20,3\r\n1,3,2.5,10,0\r\n1,4,7,7,7\r\n2,1,4,5,6\r\n"));
}

TEST_P(SafeStockFileTest, import_replaces_the_store_rows_of_the_range_in_the_target) {
    db::Connection target(db().createSibling(QStringLiteral("target")));
    accountdb::createAccountSchema(target);
    fillItems(target);
    target.execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values"
                                  "(1,1,99,99,99),(1,2,99,99,99),(1,4,99,99,99),(2,1,99,99,99)"));
    setFile("1,1,3,4,5\r\n1,3,1.5,2,0\r\n0,2,7,8,9\r\n0,77,1,1,1\r\n1,9x,,2,3\r\n2,1,99,99,99\r\n"
            "1,3,1.5,2,0\r\n");

    GenerationRequest r{first, last, QStringLiteral("A001"), QStringLiteral("B001"), 1, 0, 0, 0, true};
    EXPECT_EQ(SafeStockFile::import(target, path(), r), 7) << "rows already there are set in place";
    auto rows = [&target] {
        QStringList out;
        for (auto rs = target.open(QStringLiteral("select * from ICSafeStock order by FStockID,FItemID")); !rs.eof();
             rs.moveNext())
            out << QStringLiteral("%1,%2,%3,%4,%5")
                       .arg(rs.text(QStringLiteral("FStockID")), rs.text(QStringLiteral("FItemID")),
                            rs.text(QStringLiteral("FMin")), rs.text(QStringLiteral("FMax")),
                            rs.text(QStringLiteral("FSafe")));
        return out;
    };
    EXPECT_EQ(rows(), QStringList({QStringLiteral("1,1,3,4,5"), QStringLiteral("1,3,1.5,2,0"),
                                   QStringLiteral("1,4,99,99,99"), QStringLiteral("1,9,0,2,3"),
                                   QStringLiteral("2,1,99,99,99")}))
        << "store 1 in A001..B001 deleted first; zz1 and store 2 kept; leading numbers, empty is 0";
    EXPECT_EQ(target.scalar(QStringLiteral("select FMaxStock from t_icitem where FItemID=2")).toDouble(), 8.0);
    EXPECT_EQ(target.scalar(QStringLiteral("select count(*) from t_icitem where FMinStock is not null")).toInt(), 1)
        << "a total for an absent item changes nothing";

    // A short line or a missing file stops the import before anything changes.
    setFile("1,1,5,5,5\r\n1,2\r\n");
    try {
        SafeStockFile::import(target, path(), r);
        ADD_FAILURE() << "short line accepted";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("第 2 行"))) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QFileInfo(path()).absoluteFilePath()));
    }
    // Keys beyond any integer, and an empty file that would only clear store 1, name the problem.
    const std::pair<QByteArray, QString> refused[] = {
        {"1,1,5,5,5\r\n1,99999999999999999999,1,1,1\r\n", QStringLiteral("第 2 行")},
        {"1,1,5,5,5\r\n-1,2,1,1,1\r\n", QStringLiteral("第 2 行")},
        {"1,1,1" + QByteArray(400, '0') + ",5,5\r\n", QStringLiteral("第 1 行")},
        {"", QStringLiteral("文件里没有数据")},
        {"\r\n", QStringLiteral("第 1 行")}};
    for (const auto &[text, expected] : refused) {
        setFile(text);
        try {
            SafeStockFile::import(target, path(), r);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(expected)) << e.description().toStdString();
        }
    }
    QFile::remove(path());
    EXPECT_THROW(SafeStockFile::import(target, path(), r), Error);
    EXPECT_EQ(rows().size(), 5);
    EXPECT_TRUE(rows().contains(QStringLiteral("1,1,3,4,5")));
}

TEST_P(SafeStockFileTest, a_written_file_reads_back_into_the_same_limits) {
    conn->execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(1,1,1,2,3),(1,2,4.5,5,6)"));
    GenerationRequest r{first, last, QString(), QString(), 1, 0, 0, 0, true};
    SafeStockFile::writeGenerated(*conn, path(), r);
    const QByteArray before = fileText();
    SafeStockFile::import(*conn, path(), r);
    SafeStockFile::writeGenerated(*conn, path(), r);
    EXPECT_EQ(fileText(), before);
}

ZOSTORE_BACKENDS(SafeStockFileTest);

} // namespace zostore::test
