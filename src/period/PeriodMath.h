// Accounting-month arithmetic and the texts derived from it.
#pragma once

#include <QDate>
#include <QString>

namespace zostore::period {

struct YearPeriod {
    int year = 0;
    int period = 0; // month 1-12
    bool operator==(const YearPeriod &) const = default;
    int index() const { return year * 12 + period; }
};

// Last day of the month, the date sent to the closing procedure.
QDate monthEnd(YearPeriod p);
YearPeriod nextPeriod(YearPeriod p);
YearPeriod previousPeriod(YearPeriod p);
// "当前月份：2013年1月"
QString periodPanelText(YearPeriod p);
// Leading number of a text, as a profile value is read; no number gives 0.
double leadingNumber(const QString &text);

} // namespace zostore::period
