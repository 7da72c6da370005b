// Registration of the period procedures with the database layer.
#include "period/PeriodProcedures.h"

#include "db/Procedure.h"
#include "period/CacuCostProcedure.h"
#include "period/ClosePeriodProcedures.h"
#include "period/HistoryClearing.h"

namespace zostore::period {

void registerPeriodProcedures() {
    using db::ParamType;
    auto &registry = db::ProcedureRegistry::instance();
    registry.add(
        {QStringLiteral("sp_ClosePeriod"),
         {{QStringLiteral("@BillerID"), ParamType::Integer}, {QStringLiteral("@BillDate"), ParamType::Date}},
         spClosePeriod,
         true});
    registry.add({QStringLiteral("sp_UnClosePeriod"), {}, spUnClosePeriod, true});
    registry.add({QStringLiteral("sp_CacuCost"), {}, spCacuCost, true});
    registerHistoryClearing();
}

} // namespace zostore::period
