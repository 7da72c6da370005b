// Bringing an account set made by an earlier program up to this one's schema, once, when it is opened.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

// The schema this program writes; the profile key Ver records it.
inline const QString SchemaVersion = QStringLiteral("7.5");

// Negative, zero or positive as version text a is below, equal to or above b ("7.1.3" < "7.2").
int compareVersions(const QString &a, const QString &b);

// Adds what an older set lacks (tables, today's stock per store) under the account-set lock, in one
// transaction, and records the version; a set already current is left untouched. True when it upgraded.
bool upgradeAccountSet(db::Connection &conn);
bool upgradeAccountSet(const QString &cnstr);

} // namespace zostore::accountdb
