// Which months were closed: a row of t_ClosePeriodLog with FInterID 0 marks each closed month, beside
// the rows that list the closing's automatic bills (bill numbers start at 1).
#pragma once

#include <QDate>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

void markMonthClosed(db::Connection &conn, int year, int period);
// Marks every month from `first` up to, not including, `current` (for sets loaded with their history).
void markMonthsClosed(db::Connection &conn, const QDate &first, const QDate &current);
bool isMonthClosed(db::Connection &conn, int year, int period);

} // namespace zostore::accountdb
