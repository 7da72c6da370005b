// From a finished login to the main window fully shown (first activation done), on the demo account set
// and on a large generated one; the demo run is the baseline. Usage: bench_shell [--lines N] [--members N]
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "demo/Generator.h"
#include "shell/frmMain.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace zostore;

namespace {

QString freshAccount(const QString &dir, const QString &name) {
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=%1/%2.db").arg(dir, name);
    db::Connection c(cs, db::Connection::OpenMode::Create);
    accountdb::createAccountSchema(c);
    return cs;
}

// Median of several openings of the window as the given user
double showMainWindow(const QString &cnstr, int userId, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        startup::loginContext().reset();
        startup::loginContext().setLogin(userId, QStringLiteral("admin"), cnstr, cnstr,
                                         QStringLiteral("演示账套"));
        {
            shell::frmMain w;
            w.resize(1600, 960);
            w.show();
            w.relayout();
            w.FirstActivate();
            QApplication::processEvents();
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    qint64 lines = 1000000;
    int members = 20000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--lines") == 0)
            lines = QByteArray(argv[i + 1]).toLongLong();
        else if (qstrcmp(argv[i], "--members") == 0)
            members = QByteArray(argv[i + 1]).toInt();
    }
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    QDir(tmp.path()).mkpath(QStringLiteral("program"));
    QFile::link(QStringLiteral(ZOSTORE_PICTURE_DIR), tmp.filePath(QStringLiteral("program/picture")));
    startup::setProgramFolder(tmp.filePath(QStringLiteral("program")));
    ui::ScriptedDialogs dialogs;
    ui::DialogsScope scope(dialogs);
    components::registerBuiltinComponents();
    try {
        const QString demo = freshAccount(tmp.path(), QStringLiteral("demo"));
        {
            db::Connection c(demo);
            demo::loadDemoAccount(c);
        }
        const QString big = freshAccount(tmp.path(), QStringLiteral("big"));
        {
            db::Connection c(big);
            accountdb::insertProfileDefaults(c, 2026, 1);
            accountdb::writeProfile(c, QStringLiteral("BirthDay_ActionDays"), QStringLiteral("7"));
            demo::GeneratorCounts counts;
            counts.items = 10000;
            counts.stores = 5;
            counts.members = members;
            counts.lines = 10;
            counts.bills = int(lines / counts.lines);
            counts.months = 3;
            const auto r = demo::generateAccount(c, counts);
            std::printf("generated: %lld bill lines, %d members in %.1f s\n", static_cast<long long>(r.lines),
                        members, r.seconds);
        }
        const double baseline = showMainWindow(demo, 1, 5);
        const double large = showMainWindow(big, 1, 5);
        std::printf("main window shown, demo account set (baseline): %.1f ms\n", baseline);
        std::printf(
            "main window shown, %lld bill lines and %d members: %.1f ms (ratio %.2f, target <= 1500 ms)\n",
            static_cast<long long>(lines), members, large, large / baseline);
        for (const QString &m : dialogs.messages())
            std::printf("message: %s\n", qPrintable(m));
        return large <= 1500 ? 0 : 1;
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
}
