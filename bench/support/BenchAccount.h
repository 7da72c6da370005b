// Generated account sets for benchmarks, and the run of one benchmark on each configured backend.
#pragma once

#include "demo/Generator.h"

#include <QString>
#include <functional>

namespace zostore::bench {

// A generated account set in an empty database: schema, profile defaults, the counts' content and
// the planner's statistics, as a working account set would have them.
demo::GeneratorResult makeAccount(const QString &cnstr, const demo::GeneratorCounts &counts);

// The usual benchmark month: 20000 items, 5 stores, 1000 members, the given total of bill lines in
// bills of linesPerBill lines spread over months ending on lastDay.
demo::GeneratorCounts benchCounts(qint64 lines, int linesPerBill, int months, const QDate &lastDay);

// Peak resident memory of this process so far.
double peakMegabytes();

// Calls run for a SQLite file in a temporary folder, then for a throwaway database on ZOSTORE_BENCH_PG
// when it is set; each run ends with the process's peak memory so far. ZOSTORE_BENCH_KEEP keeps the
// folder. Returns the exit code: 1 after a failure, which it prints.
using BackendRun = std::function<void(const QString &backend, const QString &cnstr, const QString &folder)>;
int onEachBackend(const QString &tag, const BackendRun &run);

} // namespace zostore::bench
