// The bills of one kind that match a date range, number, partner, store and item, with their totals.
#pragma once

#include "db/Recordset.h"

#include <QDate>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::bills {

struct BillCriteria {
    int kind = 0; // 99: counter sales
    QDate from, to;
    QString billNo;  // part of the number
    int orgaId = 0;  // supplier (member for counter sales); 0: any
    int stockId = 0; // issuing or receiving store; 0: any
    QString item;    // part of an item's code or name, or its barcode
};

// Fields: FInterID, FBillNo, FDate, FPartner, FOutStock, FInStock, FEmp, FRemark, FSumQty, FSumAmount,
// in date and number order.
db::Recordset searchBills(db::Connection &conn, const BillCriteria &c);

} // namespace zostore::modules::bills
