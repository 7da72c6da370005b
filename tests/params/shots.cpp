// Renders the parameters window (every page) and the stock-limit generation window over a demo account set.
#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "components/items/ItemFilter.h"
#include "components/items/ItemGroupTree.h"
#include "components/supertextbox/SuperTextbox.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "params/frmSetPara.h"
#include "startup/LoginContext.h"
#include "stocklimit/SafeStockProcedures.h"
#include "stocklimit/frmGenMinMaxStock.h"
#include "stocklimit/frmSetSafeStock.h"
#include "ui/ActBar.h"
#include "ui/WindowPicture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir tmp;
    qputenv("ZOSTORE_WORKDIR", tmp.path().toUtf8());
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
        bool ok = true;
        params::frmSetPara para;
        for (int i = 0; i < para.tabs->count(); ++i) {
            para.tabs->setCurrentIndex(i);
            ok = ui::saveWindowPicture(para, out.filePath(QStringLiteral("frmSetPara-%1.png").arg(i + 1))) &&
                 ok;
        }
        stocklimit::frmGenMinMaxStock gen;
        gen.txtStock->choose(2);
        gen.txt_MinStock->setText(QStringLiteral("1"));
        gen.txt_MaxStock->setText(QStringLiteral("2"));
        gen.txt_SafeStock->setText(QStringLiteral("1.5"));
        gen.chkExp->click();
        gen.txtServer->setText(QStringLiteral("192.168.1.10"));
        gen.txtUser->setText(QStringLiteral("zostore"));
        gen.txtPwd->setText(QStringLiteral("secret"));
        ok = ui::saveWindowPicture(gen, out.filePath(QStringLiteral("frmGenMinMaxStock.png"))) && ok;

        components::registerBuiltinComponents();
        stocklimit::registerStockLimitProcedures();
        startup::loginContext().setIsManager(true);
        stocklimit::frmSetSafeStock safe;
        safe.setAttribute(Qt::WA_DeleteOnClose, false);
        safe.resize(1200, 640);
        safe.show();
        QApplication::processEvents();
        // A group chosen first, then every item shown.
        safe.ItemGroup->selectKey(
            db::Connection(cnstr).scalar(QStringLiteral("select min(FItemID) from t_ItemGroup")).toInt());
        safe.actBar->tool(QStringLiteral("tools"), QStringLiteral("showall"))->setChecked(true);
        safe.runTool(QStringLiteral("showall"));
        ok = ui::saveWindowPicture(safe, out.filePath(QStringLiteral("frmSetSafeStock.png"))) && ok;
        components::items::ItemFilterDialog filter;
        filter.optContain->setChecked(true);
        filter.txtContain->setText(QStringLiteral("可乐"));
        ok = ui::saveWindowPicture(filter, out.filePath(QStringLiteral("item-filter.png"))) && ok;
        return ok ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
