// Backup and restore of one account set: a SQLite copy of the file, or a PostgreSQL archive of the database.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

// A new random identity for a set being created.
void writeAccountIdentity(db::Connection &conn);
// The identity the set holds, nullopt for a set made before identities (it gets one on its first backup).
std::optional<QString> storedAccountIdentity(db::Connection &conn);

// <work folder>/backup, created when missing.
QString backupFolder();
// <folder>/<account name>_<yyyyMMdd_HHmmss>.db (PostgreSQL: .backup); unsafe characters of the name become "_".
QString defaultBackupFile(const QString &folder, const QString &accountName, bool postgres, const QDateTime &at);

// Writes the set to toFile (empty: a new file in backupFolder()) and returns its absolute path.
// Nothing is left behind when it fails; an existing file is never overwritten.
QString backupAccount(const QString &cnstr, const QString &accountName, const QString &toFile = {});
// The identity saved in a backup file; throws a clear error when the file is not a backup of this system.
QString backupIdentity(const QString &file, bool postgres);
// Replaces the whole set with the backup in one step; refuses a backup of another set.
void restoreAccount(const QString &cnstr, const QString &fromFile);

} // namespace zostore::accountdb
