#include "db/NumberText.h"

#include <cmath>

namespace zostore::db {

QString figureText(double v, int decimals) {
    if (!std::isfinite(v))
        return QString();
    QString s = QString::number(v, 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

} // namespace zostore::db
