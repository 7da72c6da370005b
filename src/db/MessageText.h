// User text quoted inside a message: kept short so a pasted page cannot bury the message itself.
#pragma once

#include <QString>

namespace zostore::db {

QString shortened(const QString &text, int maxChars = 40);

} // namespace zostore::db
