// Renders the login dialog to PNG over a throwaway demo account set (the main window has zostore-screens).
#include "accountdb/Catalogue.h"
#include "components/LoginDialogs.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir tmp;
    try {
        accountdb::Catalogue catalogue(QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn);
        }
        components::frmLogin login(QStringLiteral("7.1.20130101"), QStringLiteral("7.01.00001"), catalogue,
                                   catalogue.list());
        login.preselect(QStringLiteral("demo"), QStringLiteral("王丽"));
        login.txtPassword->setText(QStringLiteral("wl123456"));
        return ui::saveWindowPicture(login, QDir(outDir).filePath(QStringLiteral("login.png"))) ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
