// Renders the reminder window's pages, the store chooser and a clerk's view over a demo account set (docs/).
#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "reminders/ShortageProcedure.h"
#include "reminders/frmActionList.h"
#include "reminders/frmActionList_1.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    try {
        components::registerBuiltinComponents();
        reminders::registerReminderProcedures();
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn, QDate::currentDate());
        }
        auto &ctx = startup::loginContext();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr, catalogue.catalogueString(),
                     QStringLiteral("演示帐套"));
        ctx.setIsManager(true);

        ui::ScriptedDialogs scripted;
        ui::DialogsScope scope(scripted);
        bool ok = true;
        auto shot = [&](QWidget &w, const QString &name) {
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(name)) && ok;
        };
        {
            reminders::frmActionList w;
            w.resize(1180, 620);
            w.show();
            for (int p : {0, 1, 3}) {
                w.showPage(p);
                shot(w, QStringLiteral("frmActionList-%1.png").arg(p));
            }
            scripted.queueWindow([&](QDialog &d) {
                auto &chooser = dynamic_cast<reminders::frmActionList_1 &>(d);
                chooser.show();
                shot(chooser, QStringLiteral("frmActionList_1.png"));
                chooser.cmdOK->click();
                return int(QDialog::Accepted);
            });
            w.showPage(2);
            shot(w, QStringLiteral("frmActionList-2.png"));
        }
        // A clerk without the purchase-price grant.
        ctx.setLogin(3, QStringLiteral("李强"), cnstr, catalogue.catalogueString(),
                     QStringLiteral("演示帐套"));
        ctx.setIsManager(false);
        reminders::frmActionList clerk;
        clerk.resize(1180, 620);
        clerk.show();
        clerk.showPage(3);
        clerk.Flex->scrollTo(
            clerk.Flex->gridModel()->index(0, clerk.Flex->colIndex(QStringLiteral("FEndDate"))));
        shot(clerk, QStringLiteral("frmActionList-clerk.png"));
        return ok ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
