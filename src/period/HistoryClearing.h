// History clearing: the bills before a day go, with what they left behind kept as opening balances.
#pragma once

#include "db/Recordset.h"

#include <QDate>
#include <QString>

namespace zostore::db {
class Connection;
class ProcArgs;
} // namespace zostore::db

namespace zostore::period {

struct YearPeriod;

struct ClearOptions {
    bool remainStock = true;
    bool remainWL = true;
    bool reinit = false;
    QDate remainDate; // the first day whose data stays
    bool delItem = false;
    bool delCplOrder = true;
};

// The refusal both the window and the procedure give for a day outside the current month.
QString clearDateMessage(YearPeriod current);
bool isInPeriod(const QDate &date, YearPeriod current);

// Runs the registered sp_ClsData_1 on its own connection, in one transaction under the account-set lock.
void clearHistory(const QString &cnstr, const ClearOptions &options);

// Body of sp_ClsData_1(@RemainStock, @RemainWL, @Reinit, @RemainDate, @DelItem, @DelCplOrder).
db::Recordset spClsData1(db::Connection &conn, const db::ProcArgs &args);
void registerHistoryClearing();

} // namespace zostore::period
