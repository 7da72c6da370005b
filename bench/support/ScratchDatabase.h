// The PostgreSQL server benchmarks run on (ZOSTORE_BENCH_PG) and throwaway databases on it.
#pragma once

#include <QString>

namespace zostore::bench {

// The server's connection string; empty, after saying so, when none is configured.
QString benchPostgresServer();

// A database created on the server for one run and dropped when the run ends, even on failure
// (kept for a look at its plans when ZOSTORE_BENCH_KEEP is set).
class ScratchDatabase {
public:
    ScratchDatabase(const QString &server, const QString &tag);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    const QString &connectionString() const { return m_cnstr; }

private:
    QString m_server;
    QString m_name;
    QString m_cnstr;
};

} // namespace zostore::bench
