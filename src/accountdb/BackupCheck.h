// What a restore checks before it replaces anything: the digest written beside a backup, and a private
// copy of the backup that the restore then works from.
#pragma once

#include "db/Error.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zostore::accountdb {

Error notABackup(const QString &file);
Error damagedBackup(const QString &file, const QString &why);

// "<backup>.b2": one line as b2sum writes it (BLAKE2b-512), so "b2sum -c" can also check the backup.
QString digestFileOf(const QString &backup);
// Writes the digest of file's bytes to digestFile, naming the backup as backupName.
void writeDigestFile(const QString &file, const QString &digestFile, const QString &backupName);
// The digest written beside backup, lower-case hex; nullopt when there is none (older versions wrote
// none). Throws when the digest file is there but unreadable.
std::optional<QByteArray> recordedDigest(const QString &backup);

// A copy of a backup in folder, made while hashing the bytes copied; removed, with any SQLite side
// files, when it goes out of scope.
class BackupCopy {
public:
    BackupCopy(const QString &backup, const QString &folder);
    ~BackupCopy();
    BackupCopy(const BackupCopy &) = delete;
    BackupCopy &operator=(const BackupCopy &) = delete;

    const QString &path() const { return m_path; }
    const QByteArray &digest() const { return m_digest; }

private:
    QString m_path;
    QByteArray m_digest;
};

// Integrity check of a SQLite copy, then the identity it holds. Refuses, naming backup, a copy that
// fails the check or is no backup of this system.
QString checkedSqliteIdentity(const QString &copy, const QString &backup);

} // namespace zostore::accountdb
