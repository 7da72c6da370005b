// zostore-admin: creates catalogues and account sets, loads the demo and generates large data.
#include "admin/CommandSet.h"
#include "ui/QtTranslation.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ZoStore"));
    QCoreApplication::setApplicationName(QStringLiteral("ZoStore"));
    // Database drivers' messages reach the user; without the catalogue they stay English, which the commands
    // can live with.
    zostore::ui::installQtTranslation(app);
    QTextStream out(stdout), err(stderr), in(stdin);
    zostore::admin::AdminIO io{out, err, in, isatty(STDIN_FILENO) != 0};
    const zostore::admin::CommandTable table = zostore::admin::allCommands();
    return zostore::admin::runAdmin(table, app.arguments().mid(1), io);
}
