// Generated account sets for benchmarks, and the run of one benchmark on each configured backend.
#include "BenchAccount.h"

#include "ScratchDatabase.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"

#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace zostore::bench {

demo::GeneratorResult makeAccount(const QString &cnstr, const demo::GeneratorCounts &counts) {
    db::Connection conn(cnstr, db::Connection::OpenMode::Create);
    const QDate first =
        QDate(counts.lastDay.year(), counts.lastDay.month(), 1).addMonths(-(counts.months - 1));
    accountdb::createAccountSchema(conn);
    accountdb::insertProfileDefaults(conn, first.year(), first.month());
    return demo::generateAccount(conn, counts);
}

demo::GeneratorCounts benchCounts(qint64 lines, int linesPerBill, int months, const QDate &lastDay) {
    demo::GeneratorCounts c;
    c.items = 20000;
    c.stores = 5;
    c.members = 1000;
    c.lines = linesPerBill;
    c.bills = static_cast<int>(lines / linesPerBill);
    c.months = months;
    c.lastDay = lastDay;
    return c;
}

double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0; // kilobytes on Linux
}

int onEachBackend(const QString &tag, const BackendRun &run) {
    const auto finish = [](const QString &backend) {
        std::printf("%s: peak memory of the process so far %.0f MB\n", qPrintable(backend), peakMegabytes());
    };
    try {
        QTemporaryDir dir;
        if (qEnvironmentVariableIsSet("ZOSTORE_BENCH_KEEP")) {
            dir.setAutoRemove(false);
            std::printf("SQLite file kept in %s\n", qPrintable(dir.path()));
        }
        const QString sqlite =
            QStringLiteral("Provider=SQLite;Data Source=%1").arg(dir.filePath(QStringLiteral("bench.db")));
        run(QStringLiteral("SQLite"), sqlite, dir.path());
        finish(QStringLiteral("SQLite"));
        const QString pg = benchPostgresServer();
        if (!pg.isEmpty()) {
            ScratchDatabase scratch(pg, tag);
            run(QStringLiteral("PostgreSQL"), scratch.connectionString(), dir.path());
            finish(QStringLiteral("PostgreSQL"));
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}

} // namespace zostore::bench
