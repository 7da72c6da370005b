// The server and account set that generated limits are copied into.
#pragma once

#include <QString>
#include <QStringList>

namespace zostore::stocklimit {

// The server text names a PostgreSQL host ("host" or "host:port"), or the data folder of SQLite account sets.
class TargetServer {
public:
    TargetServer(QString server, QString user, QString password);

    bool isSqliteFolder() const;
    // The catalogue of the server's account sets, which stands where the server's master database stood.
    QString catalogueString() const;
    // FDbName of every account set, in the catalogue's order.
    QStringList accountNames() const;
    // FDbFileName of the named account set; empty when the catalogue does not list it.
    QString databaseOf(const QString &accountName) const;
    QString accountString(const QString &dbFileName) const;

    static inline const QString PostgresCatalogue = QStringLiteral("zostore_catalog");
    static inline const QString SqliteCatalogue = QStringLiteral("catalog.db");

private:
    QString m_server;
    QString m_user;
    QString m_password;
};

} // namespace zostore::stocklimit
