// Stored procedures of the account set that live with the schema.
#include "accountdb/AccountProcedures.h"

#include "db/Connection.h"
#include "db/Procedure.h"

namespace zostore::accountdb {

namespace {
// Header sums from the entries; profit is amount less cost for every bill type. Rounded to the
// stored precision so both backends keep the same figures.
db::Recordset updateBillSums(db::Connection &conn, const db::ProcArgs &args) {
    const int interId = args.toInt(QStringLiteral("@InterID"));
    const QString sums = QStringLiteral(
        "update ICStockBill set "
        "FSumAmount=round(coalesce((select sum(e.FAmount) from ICStockBillEntry e where "
        "e.FInterID=ICStockBill.FInterID),0),4),"
        "FSumCost=round(coalesce((select sum(e.FCost) from ICStockBillEntry e where "
        "e.FInterID=ICStockBill.FInterID),0),4),"
        "FSumProfit=round(coalesce((select sum(e.FAmount)-sum(e.FCost) from ICStockBillEntry e "
        "where e.FInterID=ICStockBill.FInterID),0),4) "
        "where (?=0 or FInterID=?)");
    const int changed = conn.execute(sums, {interId, interId});
    return conn.open(QStringLiteral("select ? as FCount"), {changed});
}
} // namespace

void registerAccountProcedures() {
    auto &registry = db::ProcedureRegistry::instance();
    if (registry.find(QStringLiteral("sp_UpdateBillSums")))
        return;
    registry.add({QStringLiteral("sp_UpdateBillSums"),
                  {{QStringLiteral("@InterID"), db::ParamType::Integer}},
                  updateBillSums});
}

} // namespace zostore::accountdb
