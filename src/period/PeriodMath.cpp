// Accounting-month arithmetic and the texts derived from it.
#include "period/PeriodMath.h"

namespace zostore::period {

QDate monthEnd(YearPeriod p) {
    if (p.period == 12)
        return QDate(p.year, 12, 31);
    return QDate(p.year, p.period + 1, 1).addDays(-1);
}

YearPeriod nextPeriod(YearPeriod p) {
    if (p.period == 12)
        return {p.year + 1, 1};
    return {p.year, p.period + 1};
}

YearPeriod previousPeriod(YearPeriod p) {
    if (p.period == 1)
        return {p.year - 1, 12};
    return {p.year, p.period - 1};
}

QString periodPanelText(YearPeriod p) {
    return QStringLiteral("当前月份：%1年%2月").arg(p.year).arg(p.period);
}

double leadingNumber(const QString &text) {
    const QString s = text.trimmed();
    int i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const int digitsFrom = i;
    while (i < s.size() && s[i].isDigit())
        ++i;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && s[digitsFrom] == u'.'))
        return 0.0;
    return s.left(i).toDouble();
}

} // namespace zostore::period
