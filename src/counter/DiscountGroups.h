// Discount groups as the tree shows them: a span's key and text, and the span read back from a key.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zostore::counter {

struct DiscountSpan {
    QDateTime from;
    QDateTime to;
    bool operator==(const DiscountSpan &) const = default;
};

// Date, then the time of day unless it is midnight.
QString spanEndText(const QDateTime &t);
QString groupKey(const DiscountSpan &span);  // "T_" + start + "_" + end
QString groupText(const DiscountSpan &span); // start + "～" + end
// Empty when the key or text does not hold two date-times.
std::optional<DiscountSpan> spanOfKey(const QString &key);
std::optional<DiscountSpan> spanOfText(const QString &text);
std::optional<QDateTime> spanEndOf(const QString &text);

// Retail price × rate ÷ 100 to one decimal place, a tie to the even digit, shown "0.00".
// Empty when either text is not a number.
QString batchRatePrice(const QString &retailText, const QString &rateText);
// "0.00", empty for 0.
QString priceCellText(double price);
// Plain decimal text without trailing zeros.
QString numberCellText(double value);

} // namespace zostore::counter
