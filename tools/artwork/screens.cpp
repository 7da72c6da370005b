// Renders the main window offscreen for each demo user, each module, the narrow layout, the about box and
// the upgrade notes.
#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "startup/UpgradeNotes.h"
#include "ui/ActBar.h"
#include "ui/ScriptedDialogs.h"
#include "ui/WindowPicture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

using namespace zostore;

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: zostore-screens <program folder with picture/> <output folder>\n";
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    startup::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    ui::ScriptedDialogs dialogs;
    ui::DialogsScope scope(dialogs);
    components::registerBuiltinComponents();
    bool ok = true;
    try {
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn);
        }
        const QStringList users = {QStringLiteral("admin"), QStringLiteral("王丽"), QStringLiteral("李强")};
        const QStringList files = {QStringLiteral("main-manager"), QStringLiteral("main-clerk-grants"),
                                   QStringLiteral("main-clerk-nogrants")};
        for (int u = 0; u < 3; ++u) {
            startup::loginContext().setLogin(u + 1, users[u], cnstr, catalogue.catalogueString(),
                                             QStringLiteral("演示帐套"));
            shell::frmMain w;
            w.resize(1280, 800);
            w.show();
            w.relayout();
            w.FirstActivate();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(files[u] + QStringLiteral(".png"))) && ok;
            if (u == 0) {
                for (int m = 2; m <= 5; ++m) {
                    w.ClickModule(m);
                    ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("main-module%1.png").arg(m))) && ok;
                }
                w.ClickModule(1);
                w.actBar()->tool(QStringLiteral("subMenuTools"), QStringLiteral("smallscreen"))->trigger();
                w.resize(1280, 800);
                w.relayout();
                ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("main-narrow.png"))) && ok;
                w.actBar()->tool(QStringLiteral("subMenuTools"), QStringLiteral("smallscreen"))->trigger();
                shell::frmAbout about;
                about.show();
                ok = ui::saveWindowPicture(about, QDir(outDir).filePath(QStringLiteral("about.png"))) && ok;
                if (QDialog *notes = startup::openUpgradeNotes()) {
                    ok = ui::saveWindowPicture(*notes, QDir(outDir).filePath(QStringLiteral("upgrade-notes.png"))) && ok;
                    notes->close();
                } else {
                    ok = false;
                }
            }
        }
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    for (const QString &m : dialogs.messages())
        QTextStream(stdout) << "message: " << m << '\n';
    return ok ? 0 : 1;
}
