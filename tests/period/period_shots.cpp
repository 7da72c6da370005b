// Renders the month-end and cost windows over a throwaway demo account set to PNG files (docs/).
#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "components/printer/PrintComponent.h"
#include "components/Session.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "period/PeriodProcedures.h"
#include "period/frmCacuCost.h"
#include "period/frmClearData.h"
#include "period/frmClosePeriod.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"
#include "ui/StatusBar.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTabWidget>
#include <QTextStream>
#include <QTemporaryDir>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir tmp;
    try {
        components::registerBuiltinComponents();
        period::registerPeriodProcedures();
        accountdb::Catalogue catalogue(QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        int year = 0;
        int month = 0;
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn, QDate(2026, 12, 6));
            year = conn.scalar(QStringLiteral("select FValue from t_systemprofile where lower(FKey)='currentyear'")).toInt();
            month = conn.scalar(QStringLiteral("select FValue from t_systemprofile where lower(FKey)='currentperiod'")).toInt();
        }
        auto &ctx = startup::loginContext();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr, catalogue.catalogueString(), QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ctx.setCurrentPeriod(static_cast<qint16>(year), static_cast<qint16>(month));

        // A host window with the main window's status panels, as the windows find it through their parent.
        QMainWindow host;
        auto *status = new ui::StatusBar(&host);
        status->addPanel(QStringLiteral("handletip"));
        status->addPanel(QStringLiteral("currentperiod"), QStringLiteral("当前月份：%1年%2月").arg(year).arg(month));
        host.setStatusBar(status);

        period::frmClearData clear(&host, QDate(2026, 12, 6));
        bool ok = ui::saveWindowPicture(clear, QDir(outDir).filePath(QStringLiteral("frmClearData.png")));

        period::frmClosePeriod close(&host);
        ok = ui::saveWindowPicture(close, QDir(outDir).filePath(QStringLiteral("period-close.png")));

        period::frmCacuCost cost(&host);
        cost.resize(1100, 600);
        cost.SSTab1->setCurrentIndex(2);
        ok = ui::saveWindowPicture(cost, QDir(outDir).filePath(QStringLiteral("period-cost-uncosted.png"))) && ok;
        cost.SSTab1->setCurrentIndex(0);
        ok = ui::saveWindowPicture(cost, QDir(outDir).filePath(QStringLiteral("period-cost-items.png"))) && ok;

        // The preview as the print component shows it, grabbed instead of run modally.
        ui::ScriptedDialogs scripted;
        ui::DialogsScope scope(scripted);
        scripted.queueWindow([&](QDialog &d) {
            d.resize(900, 700);
            d.show();
            d.findChild<QPrintPreviewWidget *>()->updatePreview();
            ok = ui::saveWindowPicture(d, QDir(outDir).filePath(QStringLiteral("period-cost-preview.png"))) && ok;
            return int(QDialog::Accepted);
        });
        components::PrintComponent printer;
        printer.DoPrint(false, cnstr, QStringLiteral("frmCacuCost.1"), cost.SSTab1->tabText(0), {}, cost.Flex[0]);
        return ok ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
