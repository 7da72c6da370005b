// An account set in December 2026 on each backend, the program's components registered, dialogs scripted
// and the owner (user 1, a manager) logged in: what every module test starts from.
#pragma once

#include "db/Connection.h"
#include "support/TestDatabase.h"
#include "ui/ScriptedDialogs.h"

#include <QString>
#include <functional>
#include <optional>

namespace zostore::test {

class ModuleTest : public BackendTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The test's own rows, written after the schema and before the login.
    virtual void seed() {}

    void exec(const char *sql) { conn->execute(QString::fromUtf8(sql)); }
    double scalar(const char *sql) { return db::Recordset::doubleOf(conn->scalar(QString::fromUtf8(sql))); }

    int count(const char *sql) { return conn->scalar(QString::fromUtf8(sql)).toInt(); }
    // The message of the refusal the call ends in.
    static QString refusal(const std::function<void()> &f);

    std::optional<db::Connection> conn;
    ui::ScriptedDialogs dialogs;
    std::optional<ui::DialogsScope> scope;
};

#define EXPECT_REFUSED(call, part)                                                                           \
    do {                                                                                                     \
        const QString why = refusal([&] { call; });                                                          \
        EXPECT_TRUE(why.contains(QStringLiteral(part))) << why.toStdString();                                \
    } while (0)

} // namespace zostore::test
