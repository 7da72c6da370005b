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

// Writes the set to toFile (empty: a new file in backupFolder()) and returns its absolute path; the
// digest of the file goes beside it (digestFileOf). Nothing is left behind when it fails; an existing
// file is never overwritten.
QString backupAccount(const QString &cnstr, const QString &accountName, const QString &toFile = {});

enum class BackupCheck {
    Digest,       // the backup matched the digest written beside it
    IntegrityOnly // no digest beside it (older versions wrote none): only the backup's own checks
};
// Replaces the whole set with the backup in one step, under the account-set lock. Refuses a backup that
// does not match its digest, a SQLite backup that fails the integrity check, and a backup of another set;
// all checks run on a copy before anything is replaced.
BackupCheck restoreAccount(const QString &cnstr, const QString &fromFile);

} // namespace zostore::accountdb
