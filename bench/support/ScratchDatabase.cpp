// Throwaway benchmark databases.
#include "ScratchDatabase.h"

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"

#include <QCoreApplication>
#include <cstdio>

namespace zostore::bench {

QString benchPostgresServer() {
    const QString pg = qEnvironmentVariable("ZOSTORE_BENCH_PG");
    if (pg.isEmpty())
        std::printf("PostgreSQL: skipped (set ZOSTORE_BENCH_PG to a server connection string)\n");
    return pg;
}

ScratchDatabase::ScratchDatabase(const QString &server, const QString &tag) : m_server(server) {
    auto cs = db::ConnectionString::parse(server);
    m_name = QStringLiteral("zs_bench_%1_%2").arg(tag).arg(QCoreApplication::applicationPid());
    db::Connection(cs).execute(QStringLiteral("create database ") + m_name);
    cs.database = m_name;
    m_cnstr = cs.toString();
}

ScratchDatabase::~ScratchDatabase() {
    if (qEnvironmentVariableIsSet("ZOSTORE_BENCH_KEEP")) {
        std::printf("PostgreSQL database kept: %s\n", qPrintable(m_name));
        return;
    }
    try {
        db::Connection(m_server).execute(QStringLiteral("drop database if exists %1 with (force)").arg(m_name));
    } catch (const Error &e) {
        std::fprintf(stderr, "could not drop %s: %s\n", qPrintable(m_name), qPrintable(e.description()));
    }
}

} // namespace zostore::bench
