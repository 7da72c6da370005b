#include "modules/items/Ean.h"

namespace zostore::modules::items {

namespace {

bool allDigits(const QString &s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

} // namespace

QChar eanCheckDigit(const QString &body) {
    int sum = 0;
    // Weights 3,1,3,... counted from the digit next to the check digit.
    for (qsizetype i = body.size() - 1, w = 3; i >= 0; --i, w = 4 - w)
        sum += (body[i].unicode() - '0') * static_cast<int>(w);
    return QLatin1Char(static_cast<char>('0' + (10 - sum % 10) % 10));
}

bool looksLikeEan(const QString &code) {
    return allDigits(code) && (code.size() == 8 || code.size() == 12 || code.size() == 13);
}

bool eanValid(const QString &code) {
    return looksLikeEan(code) && eanCheckDigit(code.left(code.size() - 1)) == code.back();
}

} // namespace zostore::modules::items
