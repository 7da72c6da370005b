// Saving one user's rights (every code of the tree, 40 reports) in a set of 300 users, against writing the
// same rows one autocommitted statement each. Usage: bench_user_rights [--runs N]; PostgreSQL runs when
// ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "BenchTiming.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/users/Grants.h"
#include "modules/users/RightsTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace zostore;
using modules::users::Grants;

using zostore::bench::median;
using zostore::bench::msOf;

namespace {

constexpr int Users = 300;
constexpr int Reports = 40;

void fill(db::Connection &conn, QMap<QString, bool> &codes) {
    accountdb::createAccountSchema(conn);
    accountdb::insertProfileDefaults(conn, 2026, 12);
    db::Transaction tx(conn);
    auto report = conn.prepare(QStringLiteral("insert into ReportList(FGroupID,FReportID,FType,FReportName) "
                                              "values(?,?,0,?)"));
    for (int r = 0; r < Reports; ++r)
        report.exec({1 + r % 5, r, QStringLiteral("报表%1").arg(r)});
    const QStringList all = modules::users::rightCodes(modules::users::rightsTree(conn));
    auto user = conn.prepare(QStringLiteral("insert into t_User(FUserID,FName,FManager) values(?,?,0)"));
    auto grant =
        conn.prepare(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,?)"));
    for (int u = 1; u <= Users; ++u) {
        user.exec({u, QStringLiteral("用户%1").arg(u)});
        for (int i = 0; i < all.size(); ++i)
            grant.exec({u, all[i], (u + i) % 3 == 0 ? 1 : 0});
    }
    tx.commit();
    for (int i = 0; i < all.size(); ++i)
        codes.insert(all[i], i % 2 == 0);
}

bool run(const QString &name, const QString &cnstr, int runs) {
    db::Connection conn(cnstr, db::Connection::OpenMode::Create);
    QMap<QString, bool> codes;
    fill(conn, codes);
    std::vector<double> save, baseline;
    for (int i = 0; i < runs; ++i) {
        const int user = 1 + (i * 37) % Users;
        save.push_back(msOf([&] { Grants::write(conn, user, codes); }));
        baseline.push_back(msOf([&] {
            for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
                conn.execute(QStringLiteral("delete from t_Grant where FUserID=? and FSubSystemID=?"),
                             {user, it.key()});
                conn.execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,?)"),
                             {user, it.key(), it.value() ? 1 : 0});
            }
        }));
    }
    const double s = median(save), b = median(baseline);
    std::printf(
        "%s: saving one user's %lld rights, median of %d: %.2f ms (limit 50 ms); one statement per row "
        "without a transaction: %.2f ms; ratio %.2f\n",
        qPrintable(name), static_cast<long long>(codes.size()), runs, s, b, s / b);
    return s <= 50;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int runs = static_cast<int>(bench::numberArgument(app.arguments(), QStringLiteral("--runs"), 21));
    bool ok = true;
    const int rc = bench::onEachBackend(QStringLiteral("rights"), [&](const QString &backend, const QString &cnstr,
                                                                  const QString &) {
        ok = run(backend, cnstr, runs) && ok;
    });
    return rc != 0 ? rc : (ok ? 0 : 1);
}
