// The month-end and cost windows in the main window's window table.
#include "period/PeriodWindows.h"

#include "period/PeriodProcedures.h"
#include "period/frmCacuCost.h"
#include "period/frmClosePeriod.h"
#include "shell/WindowTable.h"

namespace zostore::period {

void registerPeriodWindows() {
    registerPeriodProcedures();
    auto &table = shell::windowTable();
    table.registerWindow(shell::windows::ClosePeriod, [](QWidget *parent) { return new frmClosePeriod(parent); });
    table.registerWindow(shell::windows::CacuCost, [](QWidget *parent) { return new frmCacuCost(parent); });
}

} // namespace zostore::period
