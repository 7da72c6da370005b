// Registration of the period procedures with the database layer.
#pragma once

namespace zostore::period {

// sp_ClosePeriod(@BillerID, @BillDate), sp_UnClosePeriod, sp_CacuCost, sp_ClsData_1.
void registerPeriodProcedures();

} // namespace zostore::period
