// Connection strings in the "Key=Value;" form, keys matched without regard to case.
#pragma once

#include <QString>

namespace zostore::db {

struct ConnectionString {
    enum class Provider { SQLite, PostgreSQL };

    Provider provider = Provider::SQLite;
    QString dataSource; // SQLite: the database file
    QString server;     // PostgreSQL
    int port = 5432;
    QString userId;
    QString password;
    QString database;
    int connectTimeout = 15; // seconds

    // Throws zostore::Error naming the fault; the message never contains the password.
    static ConnectionString parse(const QString &text);
    QString toString() const;
    // The same string with the password replaced, for messages and logs.
    QString redacted() const;
    // The name of the account set's database: the file for SQLite, the database for PostgreSQL.
    QString databaseName() const;
    bool isSqlite() const { return provider == Provider::SQLite; }

    static ConnectionString sqlite(const QString &file);
    static ConnectionString postgres(const QString &server, int port, const QString &user, const QString &password,
                                     const QString &database);
};

} // namespace zostore::db
