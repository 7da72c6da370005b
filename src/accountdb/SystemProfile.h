// System profile keys of an account set: defaults, reading and writing without regard to case.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

struct ProfileKey {
    QString key;         // as the parameters window writes it
    QString value;       // default value
    QString description; // what a new account set stores in FDescription
};

// Every key a new account set starts with, the period keys excluded.
const QList<ProfileKey> &profileDefaults();

// Inserts the defaults and the period keys (start and current month) into an empty profile.
void insertProfileDefaults(db::Connection &conn, int startYear, int startPeriod);

// FValue of the key matched without regard to case; fallback when the row is absent.
QString readProfile(db::Connection &conn, const QString &key, const QString &fallback = QString());
// Replaces the row of the key (whatever its case) with the key as given.
void writeProfile(db::Connection &conn, const QString &key, const QString &value,
                  const QString &description = QString());

} // namespace zostore::accountdb
