// Throwaway databases for tests: a temporary SQLite file, or a fresh PostgreSQL database.
#pragma once

#include "db/Connection.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace zostore::test {

enum class Backend { SQLite, PostgreSQL };

std::string backendName(const testing::TestParamInfo<Backend> &info);

// The admin connection string of the test PostgreSQL server, empty when none is configured.
QString postgresAdminString();

class TestDatabase {
public:
    explicit TestDatabase(Backend backend);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    const QString &connectionString() const { return m_cnstr; }
    Backend backend() const { return m_backend; }
    QString dir() const { return m_dir.path(); }
    db::Connection connect() const { return db::Connection(m_cnstr); }

    // A further empty database on the same backend (for copying between account sets).
    QString createSibling(const QString &suffix);

private:
    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_cnstr;
    QStringList m_pgDatabases;
};

// Fixture for tests parameterised by backend; PostgreSQL is skipped without a server, and fails under CI.
class BackendTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override { m_db.reset(); }
    TestDatabase &db() { return *m_db; }
    const QString &cnstr() const { return m_db->connectionString(); }
    bool isSqlite() const { return GetParam() == Backend::SQLite; }

private:
    std::unique_ptr<TestDatabase> m_db;
};

#define ZOSTORE_BACKENDS(Suite)                                                                                     \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite,                                                                       \
                             testing::Values(zostore::test::Backend::SQLite, zostore::test::Backend::PostgreSQL),   \
                             zostore::test::backendName)

} // namespace zostore::test
