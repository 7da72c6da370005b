// zostore-help: writes the help pages into the program folder from the windows, built offscreen over a
// throwaway demo account set, and the written parts under docs/help. "--list" prints each window's controls.
#include "HelpPages.h"
#include "HelpWriter.h"
#include "ModuleWindows.h"
#include "accountdb/Catalogue.h"
#include "app/WindowRegistrations.h"
#include "components/Builtins.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "shell/WindowTable.h"
#include "shell/frmMain.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "ui/Processes.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

using namespace zostore;

namespace {

void listControls() {
    QTextStream out(stdout);
    auto main = std::make_unique<shell::frmMain>();
    for (const QString &name : QStringList{QStringLiteral("frmMain")} + shell::windowTable().names()) {
        std::unique_ptr<QWidget> w(
            name == QLatin1String("frmMain") ? main.release() : shell::windowTable().create(name, nullptr));
        out << "== " << name << " " << (w ? w->windowTitle() : QStringLiteral("(not created)")) << '\n';
        if (w)
            for (const help::Control &c : help::windowControls(*w))
                out << c.name << '\t' << c.kind << '\t' << c.caption << '\t' << c.generatedDescription
                    << '\n';
    }
    for (const help::ModuleWindow &m : help::moduleWindows()) {
        std::unique_ptr<QWidget> w(m.make());
        out << "== " << m.page << " " << w->windowTitle() << '\n';
        for (const help::Control &c : help::windowControls(*w))
            out << c.name << '\t' << c.kind << '\t' << c.caption << '\t' << c.generatedDescription << '\n';
    }
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool list = args.value(0) == QLatin1String("--list");
    const QStringList folders = list ? args.mid(1) : args;
    if (folders.size() != 2) {
        QTextStream(stderr) << "usage: zostore-help [--list] <project root> <program folder>\n";
        return 2;
    }
    const QString root = folders[0];
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    // Nothing a window asks while it is built may reach a screen or start a program.
    ui::ScriptedDialogs dialogs;
    ui::DialogsScope scope(dialogs);
    ui::RecordingProcesses processes;
    ui::setProcesses(&processes);
    startup::setProgramFolder(QDir(root).filePath(QStringLiteral("assets")));
    components::registerBuiltinComponents();
    app::registerSubsystemWindows();
    help::HelpReport report;
    try {
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn);
        }
        startup::loginContext().setLogin(1, QStringLiteral("admin"), cnstr, catalogue.catalogueString(),
                                         QStringLiteral("演示帐套"));
        startup::loginContext().setIsManager(true);
        if (list) {
            listControls();
            return 0;
        }
        report = help::writeHelp(QDir(root).filePath(QStringLiteral("docs/help")), root, folders[1]);
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    QTextStream err(stderr);
    for (const QString &m : dialogs.messages())
        err << "zostore-help: a window said: " << m << '\n';
    for (const QString &p : report.problems)
        err << "zostore-help: " << p << '\n';
    for (const QString &f : report.failures)
        err << "zostore-help: " << f << '\n';
    ui::setProcesses(nullptr);
    return report.failures.isEmpty() ? 0 : 1;
}
