// zostore-admin: creates catalogues and account sets, loads the demo and generates large data.
#include "admin/AccountCommands.h"
#include "admin/CommandLine.h"
#include "admin/PeriodCommands.h"
#include "admin/StockLimitCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ZoStore"));
    QCoreApplication::setApplicationName(QStringLiteral("ZoStore"));
    QTextStream out(stdout), err(stderr), in(stdin);
    zostore::admin::AdminIO io{out, err, in, isatty(STDIN_FILENO) != 0};
    zostore::admin::CommandTable table;
    zostore::admin::addAccountCommands(table);
    table.add(zostore::admin::stockLimitCommand());
    table.add(zostore::admin::safeStockExportCommand());
    table.add(zostore::admin::safeStockImportCommand());
    table.add(zostore::admin::costCommand());
    table.add(zostore::admin::closeCommand());
    table.add(zostore::admin::reopenCommand());
    return zostore::admin::runAdmin(table, app.arguments().mid(1), io);
}
