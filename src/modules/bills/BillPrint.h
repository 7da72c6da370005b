// A bill as the print formats read it: one record per line, the header fields on each.
#pragma once

#include "db/Recordset.h"
#include "modules/bills/Bill.h"

namespace zostore::db {
class Connection;
}

namespace zostore::modules::bills {

// Header fields FBillNo, FDate, FKindName, FPartner, FOutStock, FInStock, FEmp, FRemark, FSumQty, FSumAmount;
// line fields FNumber, FName, FModel, FUnit, FMainQty, FQty, FPrice, FAmount, FJhDate.
db::Recordset billPrintRecords(db::Connection &conn, const Bill &bill);

} // namespace zostore::modules::bills
