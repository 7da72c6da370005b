#include "counter/DiscountGroups.h"

#include "components/labels/LabelItems.h"
#include "db/NumberText.h"

#include <QStringList>
#include <cmath>

namespace zostore::counter {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString DateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int RateDecimals = 4;

// A decimal text as an integer count of 10^-decimals; more digits than allowed are refused, which
// keeps the product of a price and a rate inside 64 bits.
std::optional<qint64> scaled(const QString &text, int decimals, int maxWholeDigits) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    const QStringList parts = t.split(QLatin1Char('.'));
    if (parts.size() > 2 || (parts[0].isEmpty() && (parts.size() < 2 || parts[1].isEmpty())))
        return std::nullopt;
    QString frac = parts.size() > 1 ? parts[1] : QString();
    if (frac.size() > decimals || parts[0].size() > maxWholeDigits)
        return std::nullopt;
    for (const QString &p : parts)
        for (QChar c : p)
            if (!c.isDigit() || c.unicode() > '9')
                return std::nullopt;
    frac = frac.leftJustified(decimals, QLatin1Char('0'));
    const qint64 v = (parts[0].isEmpty() ? 0 : parts[0].toLongLong()) * static_cast<qint64>(std::pow(10, decimals)) +
                     (decimals ? frac.toLongLong() : 0);
    return negative ? -v : v;
}

qint64 divideHalfEven(qint64 n, qint64 d) {
    qint64 q = n / d, r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        ++q;
    return q;
}

} // namespace

QString spanEndText(const QDateTime &t) {
    return t.time() == QTime(0, 0) ? t.toString(DateFormat) : t.toString(DateTimeFormat);
}

QString groupKey(const DiscountSpan &s) {
    return QStringLiteral("T_") + spanEndText(s.from) + QLatin1Char('_') + spanEndText(s.to);
}

QString groupText(const DiscountSpan &s) { return spanEndText(s.from) + QStringLiteral("～") + spanEndText(s.to); }

std::optional<QDateTime> spanEndOf(const QString &text) {
    const QString t = text.trimmed();
    QDateTime dt = QDateTime::fromString(t, DateTimeFormat);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(t, DateFormat);
        if (!d.isValid())
            return std::nullopt;
        dt = QDateTime(d, QTime(0, 0));
    }
    return dt;
}

namespace {

std::optional<DiscountSpan> spanOfEnds(const QString &fromText, const QString &toText) {
    const auto from = spanEndOf(fromText), to = spanEndOf(toText);
    if (!from || !to)
        return std::nullopt;
    return DiscountSpan{*from, *to};
}

} // namespace

std::optional<DiscountSpan> spanOfKey(const QString &key) {
    const QStringList parts = key.split(QLatin1Char('_'));
    if (parts.size() != 3 || parts[0] != QLatin1String("T"))
        return std::nullopt;
    return spanOfEnds(parts[1], parts[2]);
}

std::optional<DiscountSpan> spanOfText(const QString &text) {
    const QStringList parts = text.split(QStringLiteral("～"));
    if (parts.size() != 2)
        return std::nullopt;
    return spanOfEnds(parts[0], parts[1]);
}

QString batchRatePrice(const QString &retailText, const QString &rateText) {
    // Exact decimals: 12.35 × 90 must give 11.115, not a binary neighbour of it.
    const auto cents = scaled(retailText, 2, 9);
    const auto rate = scaled(rateText, RateDecimals, 3);
    if (!cents || !rate)
        return {};
    // cents × rate is in units of 10^-(2+4) yuan-percent; one decimal of a yuan is 10^(2+4+2-1) of them.
    const qint64 tenths = divideHalfEven(*cents * *rate, 10'000'000);
    return QString::number(static_cast<double>(tenths) / 10.0, 'f', 2);
}

QString priceCellText(double price) { return price == 0 ? QString() : components::labels::priceText(price); }

QString numberCellText(double v) { return db::figureText(v, 4); }

} // namespace zostore::counter
