// Quoting for @UserSql condition texts.
#include "db/SqlText.h"

namespace zostore::db {

QString doubleApostrophes(const QString &text) {
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return s;
}

QString sqlLiteral(const QString &text) { return QLatin1Char('\'') + doubleApostrophes(text) + QLatin1Char('\''); }

} // namespace zostore::db
