// Opening the member list on a generated set of 20,000 members, and one keystroke of its search, against
// the least any list must do: a connection and the list's own query read into texts. Usage: bench_member_list
// [--runs N]; PostgreSQL runs when ZOSTORE_BENCH_PG is set.
#include "BenchAccount.h"
#include "BenchTiming.h"
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/Generator.h"
#include "modules/members/MemberStore.h"
#include "modules/members/frmVipMan.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

using namespace zostore;

using zostore::bench::median;

namespace {

constexpr int Members = 20000;

double msOf(const std::function<void()> &f, double *cpuMs = nullptr) {
    timespec c0{}, c1{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
    QElapsedTimer t;
    t.start();
    f();
    const double wall = t.nsecsElapsed() / 1e6;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
    if (cpuMs)
        *cpuMs = (c1.tv_sec - c0.tv_sec) * 1e3 + (c1.tv_nsec - c0.tv_nsec) / 1e6;
    return wall;
}

double loadAverage() {
    double l[1] = {0};
    return getloadavg(l, 1) == 1 ? l[0] : 0;
}

bool run(const QString &name, const QString &cnstr, int runs) {
    {
        db::Connection conn(cnstr, db::Connection::OpenMode::Create);
        accountdb::createAccountSchema(conn);
        accountdb::insertProfileDefaults(conn, 2026, 12);
        demo::GeneratorCounts counts;
        counts.items = 200;
        counts.stores = 2;
        counts.members = Members;
        counts.bills = 200;
        counts.lines = 2;
        counts.months = 1;
        demo::generateAccount(conn, counts);
    }
    std::vector<double> open, openCpu, baseline, key, connect;
    for (int i = 0; i < runs; ++i) {
        double cpu = 0;
        open.push_back(msOf(
            [&] {
                modules::members::frmVipMan w(cnstr, 1);
                w.show();
                QApplication::processEvents();
            },
            &cpu));
        openCpu.push_back(cpu);
        connect.push_back(msOf([&] { db::Connection conn(cnstr); }));
        baseline.push_back(msOf([&] {
            db::Connection conn(cnstr);
            QVector<QString> cells;
            for (db::Recordset rs =
                     conn.open(modules::members::MemberStore::ListSql, {}, db::Cursor::Forward);
                 !rs.eof(); rs.moveNext())
                for (int f = 0; f < rs.fieldCount(); ++f)
                    cells << db::Recordset::textOf(rs.value(f));
        }));
    }
    {
        modules::members::frmVipMan w(cnstr, 1);
        w.show();
        QApplication::processEvents();
        // A phone number typed digit by digit, then cleared again: the widest and the narrowest filters.
        const QString typed = QStringLiteral("1380001");
        for (int r = 0; r < std::max(1, runs / 5); ++r) {
            for (int n = 1; n <= typed.size(); ++n)
                key.push_back(msOf([&] {
                    w.txtFind->setText(typed.left(n));
                    QApplication::processEvents();
                }));
            key.push_back(msOf([&] {
                w.txtFind->clear();
                QApplication::processEvents();
            }));
        }
    }
    const double o = median(open), b = median(baseline), k = median(key),
                 kmax = *std::max_element(key.begin(), key.end());
    std::printf("%s: member list on %d members, median of %d: %.1f ms (limit 200 ms; this process's CPU %.1f "
                "ms); the "
                "same rows read by one query on a new connection: %.1f ms; ratio %.2f\n",
                qPrintable(name), Members, runs, o, median(openCpu), b, o / b);
    std::printf("%s: opening a connection alone: %.1f ms; machine load average %.1f\n", qPrintable(name),
                median(connect), loadAverage());
    std::printf("%s: one search keystroke, median of %zu: %.2f ms, slowest %.2f ms\n", qPrintable(name),
                key.size(), k, kmax);
    return o <= 200;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = static_cast<int>(bench::numberArgument(app.arguments(), QStringLiteral("--runs"), 11));
    bool ok = true;
    const int rc = bench::onEachBackend(QStringLiteral("members"), [&](const QString &backend, const QString &cnstr,
                                                                  const QString &) {
        ok = run(backend, cnstr, runs) && ok;
    });
    return rc != 0 ? rc : (ok ? 0 : 1);
}
