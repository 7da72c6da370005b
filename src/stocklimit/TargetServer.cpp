// The server and account set that generated limits are copied into.
#include "stocklimit/TargetServer.h"

#include "accountdb/Catalogue.h"
#include "db/Connection.h"

#include <QDir>
#include <QFileInfo>

namespace zostore::stocklimit {

TargetServer::TargetServer(QString server, QString user, QString password)
    : m_server(std::move(server).trimmed()), m_user(std::move(user)), m_password(std::move(password)) {}

bool TargetServer::isSqliteFolder() const {
    return QFileInfo(m_server).isDir() || m_server.contains(QLatin1Char('/')) || m_server.contains(QLatin1Char('\\'));
}

QString TargetServer::catalogueString() const {
    if (isSqliteFolder())
        return db::ConnectionString::sqlite(QDir(m_server).absoluteFilePath(SqliteCatalogue)).toString();
    QString host = m_server;
    int port = 5432;
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon > 0) {
        bool ok = false;
        const int p = host.mid(colon + 1).toInt(&ok);
        if (ok) {
            port = p;
            host = host.left(colon);
        }
    }
    return db::ConnectionString::postgres(host, port, m_user, m_password, PostgresCatalogue).toString();
}

QStringList TargetServer::accountNames() const {
    db::Connection conn(catalogueString());
    QStringList names;
    for (auto rs = conn.open(QStringLiteral("select * from zo_DbList")); !rs.eof(); rs.moveNext())
        names.append(rs.text(QStringLiteral("FDbName")));
    return names;
}

QString TargetServer::databaseOf(const QString &accountName) const {
    db::Connection conn(catalogueString());
    auto rs = conn.open(QStringLiteral("select FDbFileName from zo_DbList where FDbName=?"), {accountName});
    return rs.eof() ? QString() : rs.text(QStringLiteral("FDbFileName"));
}

QString TargetServer::accountString(const QString &dbFileName) const {
    return accountdb::Catalogue(catalogueString()).accountConnectionString(dbFileName);
}

} // namespace zostore::stocklimit
