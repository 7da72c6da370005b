// Numbers as the stock-limit screens and the exchange file read and write them.
#include "stocklimit/NumberText.h"

#include "db/Recordset.h"

namespace zostore::stocklimit {

double leadingNumber(const QString &text) {
    const QString s = text.trimmed();
    int i = 0;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double v = s.left(i).toDouble(&ok);
    return ok ? v : 0.0;
}

QString plainNumber(const QVariant &value) {
    if (value.isNull())
        return QString();
    return db::Recordset::textOf(QVariant(db::Recordset::doubleOf(value)));
}

} // namespace zostore::stocklimit
