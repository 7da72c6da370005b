// The one place where a value may enter SQL text: user-built conditions passed as @UserSql.
#pragma once

#include <QString>

namespace zostore::db {

// Doubles every apostrophe so the text can stand between apostrophes.
QString doubleApostrophes(const QString &text);
// The text as a quoted SQL literal.
QString sqlLiteral(const QString &text);

} // namespace zostore::db
