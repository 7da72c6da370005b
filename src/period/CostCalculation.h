// Cost calculation of the current month by the account's cost style, and the hand correction of one entry.
#pragma once

#include "period/PeriodMath.h"

#include <QString>
#include <QVariant>

namespace zostore::db {
class Connection;
}

namespace zostore::period {

class CostCalculation {
public:
    enum class Outcome { Done, NoPriceStyle };

    CostCalculation(QString cnstr, YearPeriod period);

    // CostStyle of the profile as a whole number; 0 when the key is missing.
    static int readCostStyle(const QString &cnstr);

    // 1 latest purchase price, 2 weighted average, 3 price-style cost; other values change nothing.
    Outcome run(int costStyle);
    void lastPurchasePrice();
    void weightedAverage();
    Outcome priceStyleCost();

    // Writes a typed unit cost into one entry; bills valued at cost get it as their price as well.
    void correctUnitCost(qint64 interId, int entryId, double unitCost, bool valuedAtCost);
    // Bill-type texts of the cost list whose price follows their cost.
    static bool isValuedAtCost(const QString &tranTypeText);

private:
    void valueAtCost(db::Connection &conn, bool zeroWhenNoAmount);
    void costSpanBySpan(db::Connection &conn, const QVariant &first);
    void costByPriceRanges(db::Connection &conn, const QVariant &first);
    void checkStillCurrent(db::Connection &conn) const;

    QString m_cnstr;
    YearPeriod m_period;
};

} // namespace zostore::period
