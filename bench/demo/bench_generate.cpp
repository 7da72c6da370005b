// Generating a large account set set-based, against row-by-row autocommitted inserts in the same run.
// Usage: bench_generate [--lines N] [--baseline N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "ScratchDatabase.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "demo/Generator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zostore;

namespace {

struct Target {
    QString name;
    std::function<QString(const QString &)> create; // a fresh, empty database
    std::function<void()> cleanup;
};

QString prepared(const QString &cs) {
    db::Connection c(cs);
    accountdb::createAccountSchema(c);
    accountdb::insertProfileDefaults(c, 2026, 1);
    return cs;
}

void run(const Target &t, qint64 lines, int baseline) {
    demo::GeneratorCounts counts;
    counts.items = 10000;
    counts.stores = 5;
    counts.members = 10000;
    counts.lines = 10;
    counts.bills = static_cast<int>(lines / counts.lines);
    counts.months = 3;
    counts.lastDay = QDate(2026, 3, 31);

    db::Connection gen(prepared(t.create(QStringLiteral("gen"))));
    const auto r = demo::generateAccount(gen, counts);
    std::printf("%s generate: %lld bill lines, %lld rows in %.2f s = %.0f rows/s\n", qPrintable(t.name),
                static_cast<long long>(r.lines), static_cast<long long>(r.rows), r.seconds,
                r.rowsPerSecond());

    // Baseline: the same kind of rows, one autocommitted statement each.
    db::Connection base(prepared(t.create(QStringLiteral("row"))));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < baseline; ++i)
        base.execute(
            QStringLiteral(
                "insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,FAmount,"
                "FUnitCost,FCost,FPreSend) values(?,?,?,?,?,?,?,?,?,0)"),
            {1 + i / 10, 1 + i % 10, 1 + i % 1000, 1 + i % 5, 0, 3.5, 3.5 * (1 + i % 5), 2.8,
             2.8 * (1 + i % 5)});
    const double secs = timer.elapsed() / 1000.0;
    const double perSecond = baseline / secs;
    std::printf("%s row by row: %d rows in %.2f s = %.0f rows/s\n", qPrintable(t.name), baseline, secs,
                perSecond);
    std::printf("%s ratio: set-based generation is %.1f times faster per row\n\n", qPrintable(t.name),
                r.rowsPerSecond() / perSecond);
    std::fflush(stdout);
    if (t.cleanup)
        t.cleanup();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    qint64 lines = 1'000'000;
    int baseline = 20'000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--lines"))
            lines = args[i + 1].toLongLong();
        else if (args[i] == QStringLiteral("--baseline"))
            baseline = args[i + 1].toInt();
    }
    try {
        QTemporaryDir dir;
        run({QStringLiteral("SQLite"),
             [&](const QString &n) {
                 const QString cs =
                     QStringLiteral("Provider=SQLite;Data Source=%1").arg(dir.filePath(n + ".db"));
                 db::Connection(cs, db::Connection::OpenMode::Create);
                 return cs;
             },
             {}},
            lines, baseline);

        const QString pg = bench::benchPostgresServer();
        if (pg.isEmpty())
            return 0;
        std::vector<std::unique_ptr<bench::ScratchDatabase>> made;
        run({QStringLiteral("PostgreSQL"),
             [&](const QString &n) {
                 made.push_back(std::make_unique<bench::ScratchDatabase>(pg, n));
                 return made.back()->connectionString();
             },
             [&] { made.clear(); }},
            lines, baseline);
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
