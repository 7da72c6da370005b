// The stock-limit generation window in the main window's window table.
#include "stocklimit/StockLimitWindows.h"

#include "shell/WindowTable.h"
#include "stocklimit/frmGenMinMaxStock.h"

namespace zostore::stocklimit {

void registerStockLimitWindows() {
    shell::windowTable().registerWindow(GenMinMaxStockWindow,
                                        [](QWidget *parent) { return new frmGenMinMaxStock(parent); });
}

} // namespace zostore::stocklimit
