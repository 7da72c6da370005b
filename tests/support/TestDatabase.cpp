// Test databases on both backends.
#include "support/TestDatabase.h"

#include "db/ConnectionString.h"
#include "db/Error.h"

#include <QAtomicInt>
#include <QCoreApplication>

namespace zostore::test {

namespace {
QAtomicInt g_seq;
}

std::string backendName(const testing::TestParamInfo<Backend> &info) {
    return info.param == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

QString postgresAdminString() { return qEnvironmentVariable("ZOSTORE_TEST_PG"); }

TestDatabase::TestDatabase(Backend backend) : m_backend(backend) {
    if (backend == Backend::SQLite) {
        m_cnstr = QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_dir.filePath(QStringLiteral("account.db")));
        db::Connection(m_cnstr, db::Connection::OpenMode::Create);
    } else {
        m_cnstr = createSibling(QStringLiteral("main"));
    }
}

QString TestDatabase::createSibling(const QString &suffix) {
    if (m_backend == Backend::SQLite) {
        const QString cs =
            QStringLiteral("Provider=SQLite;Data Source=%1").arg(m_dir.filePath(suffix + QStringLiteral(".db")));
        db::Connection(cs, db::Connection::OpenMode::Create);
        return cs;
    }
    auto admin = db::ConnectionString::parse(postgresAdminString());
    const QString name = QStringLiteral("zs_t%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(g_seq.fetchAndAddRelaxed(1))
                             .arg(suffix.toLower());
    db::Connection(admin).execute(QStringLiteral("create database ") + name);
    m_pgDatabases << name;
    admin.database = name;
    return admin.toString();
}

TestDatabase::~TestDatabase() {
    if (m_pgDatabases.isEmpty())
        return;
    try {
        db::Connection admin(postgresAdminString());
        for (const QString &name : m_pgDatabases)
            admin.execute(QStringLiteral("drop database if exists ") + name + QStringLiteral(" with (force)"));
    } catch (const Error &) {
        // a leftover test database is dropped with the throwaway cluster
    }
}

void BackendTest::SetUp() {
    if (GetParam() == Backend::PostgreSQL && postgresAdminString().isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("CI"))
            FAIL() << "ZOSTORE_TEST_PG is not set under CI: PostgreSQL tests must run";
        GTEST_SKIP() << "ZOSTORE_TEST_PG not set";
    }
    m_db = std::make_unique<TestDatabase>(GetParam());
}

} // namespace zostore::test
