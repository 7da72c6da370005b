// Reading rows through Recordset by field name, against raw QSqlQuery reads by column index.
// Usage: bench_recordset [--rows N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "ScratchDatabase.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace zostore;

namespace {

void fill(db::Connection &c, int rows) {
    const bool pg = c.isPostgres();
    c.execute(
        QStringLiteral(
            "create table t_Read (FItemID integer primary key, FNumber varchar(50), FName varchar(100), "
            "FQty %1, FPrice %1, FDate %2)")
            .arg(pg ? QStringLiteral("numeric(19,4)") : QStringLiteral("real"),
                 pg ? QStringLiteral("timestamp") : QStringLiteral("text")));
    c.begin();
    c.execute(QStringLiteral("insert into t_Read(FItemID,FNumber,FName,FQty,FPrice,FDate) "
                             "with recursive s(n) as (select 1 union all select n+1 from s where n<?) "
                             "select n,'I'||n,'商品名称'||n,n%97,(n%500)/10.0,?  from s"),
              {rows, QDateTime(QDate(2026, 1, 15), QTime(0, 0))});
    c.commit();
}

double recordsetRead(db::Connection &c, db::Cursor cursor, double &checksum) {
    QElapsedTimer t;
    t.start();
    int n = 0;
    for (auto rs = c.open(QStringLiteral("select * from t_Read order by FItemID"), {}, cursor); !rs.eof();
         rs.moveNext()) {
        checksum += rs.toInt(QStringLiteral("FItemID")) + rs.toDouble(QStringLiteral("FQty")) +
                    rs.toDouble(QStringLiteral("fprice")) + rs.text(QStringLiteral("FNumber")).size() +
                    rs.text(QStringLiteral("FName")).size() +
                    rs.toDateTime(QStringLiteral("FDate")).date().day();
        ++n;
    }
    return n / (t.elapsed() / 1000.0);
}

double rawRead(db::Connection &c, double &checksum) {
    QElapsedTimer t;
    t.start();
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    q.exec(QStringLiteral("select * from t_Read order by FItemID"));
    int n = 0;
    while (q.next()) {
        checksum += q.value(0).toInt() + q.value(3).toDouble() + q.value(4).toDouble() +
                    q.value(1).toString().size() + q.value(2).toString().size() +
                    QDateTime::fromString(q.value(5).toString().left(19), Qt::ISODate).date().day();
        ++n;
    }
    return n / (t.elapsed() / 1000.0);
}

void run(const QString &name, const QString &cs, int rows) {
    db::Connection c(cs, db::Connection::OpenMode::Create);
    fill(c, rows);
    double a = 0, b = 0, d = 0;
    const double raw = rawRead(c, a);
    const double forward = recordsetRead(c, db::Cursor::Forward, b);
    const double stat = recordsetRead(c, db::Cursor::Static, d);
    std::printf("%s: %d rows, 6 fields\n", qPrintable(name), rows);
    std::printf("  raw QSqlQuery by index:     %10.0f rows/s\n", raw);
    std::printf("  Recordset forward, by name: %10.0f rows/s (ratio to raw %.2f)\n", forward, forward / raw);
    std::printf("  Recordset static, by name:  %10.0f rows/s (ratio to raw %.2f)\n", stat, stat / raw);
    std::printf("  checksums %.0f %.0f %.0f\n\n", a, b, d);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    int rows = 200'000;
    const QStringList args = app.arguments();
    if (args.size() > 2 && args[1] == QStringLiteral("--rows"))
        rows = args[2].toInt();
    try {
        QTemporaryDir dir;
        run(QStringLiteral("SQLite"),
            QStringLiteral("Provider=SQLite;Data Source=%1").arg(dir.filePath("read.db")), rows);
        const QString pg = bench::benchPostgresServer();
        if (pg.isEmpty())
            return 0;
        bench::ScratchDatabase scratch(pg, QStringLiteral("read"));
        run(QStringLiteral("PostgreSQL"), scratch.connectionString(), rows);
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
