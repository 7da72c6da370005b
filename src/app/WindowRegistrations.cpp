// Registration lives here so that no subsystem depends on the shell.
#include "app/WindowRegistrations.h"

#include "counter/frmDefPrint.h"
#include "counter/frmPrintLabel.h"
#include "counter/frmSdyh_Set_Pos.h"
#include "params/frmSetPara.h"
#include "period/PeriodProcedures.h"
#include "period/frmCacuCost.h"
#include "period/frmClearData.h"
#include "period/frmClosePeriod.h"
#include "reminders/ShortageProcedure.h"
#include "reminders/frmActionList.h"
#include "shell/WindowTable.h"
#include "stocklimit/SafeStockProcedures.h"
#include "stocklimit/frmGenMinMaxStock.h"
#include "stocklimit/frmSetSafeStock.h"

namespace zostore::app {

void registerSubsystemWindows() {
    period::registerPeriodProcedures();
    stocklimit::registerStockLimitProcedures();
    reminders::registerReminderProcedures();
    auto &table = shell::windowTable();
    table.registerWindow(shell::windows::ClosePeriod,
                         [](QWidget *parent) { return new period::frmClosePeriod(parent); });
    table.registerWindow(shell::windows::CacuCost, [](QWidget *parent) { return new period::frmCacuCost(parent); });
    table.registerWindow(shell::windows::ClearData, [](QWidget *parent) { return new period::frmClearData(parent); });
    table.registerWindow(shell::windows::SetPara, [](QWidget *parent) { return new params::frmSetPara(parent); });
    table.registerWindow(shell::windows::GenMinMaxStock,
                         [](QWidget *parent) { return new stocklimit::frmGenMinMaxStock(parent); });
    table.registerWindow(shell::windows::SafeStock,
                         [](QWidget *parent) { return new stocklimit::frmSetSafeStock(parent); });
    table.registerWindow(shell::windows::PrintLabel,
                         [](QWidget *parent) { return new counter::frmPrintLabel(parent); });
    table.registerWindow(shell::windows::PosDiscount,
                         [](QWidget *parent) { return new counter::frmSdyh_Set_Pos(parent); });
    table.registerWindow(shell::windows::PosBill, [](QWidget *parent) { return new counter::frmDefPrint(parent); });
    table.registerWindow(shell::windows::Action, [](QWidget *parent) { return new reminders::frmActionList(parent); });
}

} // namespace zostore::app
