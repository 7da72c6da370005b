// Every command of zostore-admin, as the program offers them.
#include "admin/CommandSet.h"

#include "admin/AccountCommands.h"
#include "admin/FileCommands.h"
#include "admin/HistoryCommands.h"
#include "admin/PeriodCommands.h"
#include "admin/ReminderCommands.h"
#include "admin/StockCheckCommand.h"
#include "admin/StockLimitCommands.h"
#include "admin/UserCommands.h"

namespace zostore::admin {

CommandTable allCommands() {
    CommandTable table;
    addAccountCommands(table);
    table.add(stockLimitCommand());
    table.add(safeStockExportCommand());
    table.add(safeStockImportCommand());
    table.add(costCommand());
    table.add(closeCommand());
    table.add(reopenCommand());
    table.add(remindersCommand());
    table.add(clearHistoryCommand());
    table.add(backupCommand());
    table.add(restoreCommand());
    table.add(checkStockCommand());
    table.add(usersCommand());
    table.add(grantCommand());
    table.add(revokeCommand());
    addFileCommands(table);
    return table;
}

} // namespace zostore::admin
