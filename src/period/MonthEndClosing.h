// Month-end closing and reopening as the window and the batch command run them.
#pragma once

#include "period/PeriodMath.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace zostore::period {

struct StockLimitSettings {
    double maxFactor = 0;
    double minFactor = 0;
    double safeFactor = 0;
    int days = 0;
    bool perStore = false;
};

// Arguments in the generator's order: first date, last date, max, min, safety multiplier, per store.
using StockLimitGenerator =
    std::function<void(const QDate &from, const QDate &to, double maxF, double minF, double safeF, bool perStore)>;

class MonthEndClosing {
public:
    struct Hooks {
        std::function<void(const QString &)> status;     // first status panel
        std::function<bool()> continueDespiteZeroCost; // false stops the closing
        StockLimitGenerator generateStockLimits;         // called when regeneration is asked for
    };

    MonthEndClosing(QString cnstr, YearPeriod current);

    static bool readGenerateLimitsFlag(const QString &cnstr); // GenLimitStockWhenClosePeriod is "1"
    StockLimitSettings readStockLimitSettings() const;
    // Issue entries of the month without unit cost that were not issued in advance.
    bool hasIssuesWithoutCost() const;

    // Runs the closing steps; returns the new month, or nothing when the user stopped at the question.
    std::optional<YearPeriod> close(bool regenerateLimits, bool autoBill, int userId, const Hooks &hooks);
    // Runs sp_UnClosePeriod; returns the month before the current one.
    YearPeriod reopen(const Hooks &hooks);

    // Runs sp_ClosePeriod alone: @BillerID is the user when autoBill, else 0.
    void runClosePeriod(bool autoBill, int userId, const QDate &monthEnd);

private:
    QString m_cnstr;
    YearPeriod m_current;
};

} // namespace zostore::period
