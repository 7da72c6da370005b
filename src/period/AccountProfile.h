// Profile values of the account set that closing and costing read and write.
#pragma once

#include "period/PeriodMath.h"

#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::period {

// FValue of a t_systemprofile key, matched without regard to case; nullopt when the row is missing.
std::optional<QString> profileValue(db::Connection &conn, const QString &key);

// The account's stored current month; raises a clear error when it is not set.
YearPeriod storedCurrentPeriod(db::Connection &conn);
// The account's start month; {0, 0} when it is not set.
YearPeriod storedStartPeriod(db::Connection &conn);
// Rewrites the stored current month; FEditTime is left alone so that undoing a month restores the rows exactly.
void writeStoredCurrentPeriod(db::Connection &conn, YearPeriod p);
// Sets the start month, adding the two keys when the set lacks them.
void writeStoredStartPeriod(db::Connection &conn, YearPeriod p);

} // namespace zostore::period
