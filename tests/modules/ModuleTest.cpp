#include "ModuleTest.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "startup/LoginContext.h"

namespace zostore::test {

void ModuleTest::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    components::registerBuiltinComponents();
    modules::registerInstalledModules();
    conn.emplace(cnstr());
    accountdb::createAccountSchema(*conn);
    accountdb::insertProfileDefaults(*conn, 2026, 12);
    seed();
    scope.emplace(dialogs);
    startup::loginContext().setLogin(1, QStringLiteral("店主"), cnstr(), QString(), QStringLiteral("测试"));
    startup::loginContext().setIsManager(true);
}

void ModuleTest::TearDown() {
    startup::loginContext().reset();
    scope.reset();
    conn.reset();
    BackendTest::TearDown();
}

QString ModuleTest::refusal(const std::function<void()> &f) {
    try {
        f();
    } catch (const Error &e) {
        return e.description();
    }
    return QStringLiteral("(nothing refused)");
}

} // namespace zostore::test
