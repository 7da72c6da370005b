// Stored procedures of the account set that live with the schema.
#pragma once

namespace zostore::accountdb {

// Adds sp_UpdateBillSums to the procedure registry; calling it again changes nothing.
void registerAccountProcedures();

} // namespace zostore::accountdb
