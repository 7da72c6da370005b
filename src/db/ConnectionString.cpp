// Parsing and printing of connection strings.
#include "db/ConnectionString.h"

#include "db/Error.h"

#include <QFileInfo>

namespace zostore::db {

namespace {

QString quoted(const QString &value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) && value.trimmed() == value)
        return value;
    QString v = value;
    v.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

// Splits on ';' outside double quotes; a doubled quote inside quotes is one quote.
QList<QPair<QString, QString>> splitPairs(const QString &text) {
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    int segment = 0;
    const int n = text.size();
    while (i < n) {
        while (i < n && (text[i] == QLatin1Char(';') || text[i].isSpace()))
            ++i;
        if (i >= n)
            break;
        ++segment;
        const int eq = text.indexOf(QLatin1Char('='), i);
        const int semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // the fragment itself is not shown: it may be part of a password
            throw Error(QStringLiteral("连接字符串格式错误：第 %1 段缺少“=”。").arg(segment));
        }
        const QString key = text.mid(i, eq - i).trimmed();
        if (key.isEmpty())
            throw Error(QStringLiteral("连接字符串格式错误：“=”前缺少关键字。"));
        i = eq + 1;
        while (i < n && text[i] == QLatin1Char(' '))
            ++i;
        QString value;
        if (i < n && text[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                throw Error(QStringLiteral("连接字符串格式错误：第 %1 段的值缺少结束引号。").arg(segment));
            while (i < n && text[i] != QLatin1Char(';')) {
                if (!text[i].isSpace())
                    throw Error(QStringLiteral("连接字符串格式错误：第 %1 段的引号后有多余字符。").arg(segment));
                ++i;
            }
        } else {
            const int end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, end < 0 ? n - i : end - i).trimmed();
            i = end < 0 ? n : end;
        }
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace

ConnectionString ConnectionString::parse(const QString &text) {
    ConnectionString cs;
    QString provider;
    bool portSeen = false;
    int position = 0;
    for (const auto &[rawKey, value] : splitPairs(text)) {
        ++position;
        const QString key = rawKey.toLower().simplified();
        if (key == QLatin1String("provider")) {
            provider = value;
        } else if (key == QLatin1String("data source")) {
            cs.dataSource = value;
        } else if (key == QLatin1String("server") || key == QLatin1String("host")) {
            cs.server = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            cs.port = value.toInt(&ok);
            if (!ok || cs.port <= 0 || cs.port > 65535)
                throw Error(QStringLiteral("连接字符串错误：端口无效。"));
            portSeen = true;
        } else if (key == QLatin1String("user id") || key == QLatin1String("uid") || key == QLatin1String("user")) {
            cs.userId = value;
        } else if (key == QLatin1String("password") || key == QLatin1String("pwd")) {
            cs.password = value;
        } else if (key == QLatin1String("database") || key == QLatin1String("initial catalog")) {
            cs.database = value;
        } else if (key == QLatin1String("connect timeout")) {
            bool ok = false;
            cs.connectTimeout = value.toInt(&ok);
            if (!ok || cs.connectTimeout < 0)
                throw Error(QStringLiteral("连接字符串错误：连接超时无效。"));
        } else if (key == QLatin1String("persist security info")) {
            // accepted for compatibility with stored strings; it has no effect here
        } else {
            // the text may be the tail of a password cut at an unquoted ';', so it is named by position only
            throw Error(QStringLiteral("连接字符串错误：第 %1 项的关键字不认识（值里有“;”时请用引号把值括起来）。")
                            .arg(position));
        }
    }
    const QString p = provider.toLower();
    if (p.isEmpty())
        throw Error(QStringLiteral("连接字符串错误：缺少 Provider。"));
    if (p.startsWith(QLatin1String("sqloledb")))
        throw Error(QStringLiteral("本程序不支持 SQL Server 数据库（Provider=%1），请使用 SQLite 或 PostgreSQL 帐套。")
                        .arg(provider.left(40)));
    if (p.startsWith(QLatin1String("microsoft.jet.oledb")))
        throw Error(QStringLiteral("本程序不支持 Access 数据库（Provider=%1）。").arg(provider.left(40)));
    if (p == QLatin1String("sqlite")) {
        cs.provider = Provider::SQLite;
        if (cs.dataSource.isEmpty())
            throw Error(QStringLiteral("连接字符串错误：SQLite 帐套缺少 Data Source（数据库文件）。"));
    } else if (p == QLatin1String("postgresql") || p == QLatin1String("postgres")) {
        cs.provider = Provider::PostgreSQL;
        if (cs.server.isEmpty())
            throw Error(QStringLiteral("连接字符串错误：PostgreSQL 帐套缺少 Server。"));
        if (cs.database.isEmpty())
            throw Error(QStringLiteral("连接字符串错误：PostgreSQL 帐套缺少 Database。"));
    } else {
        throw Error(QStringLiteral("连接字符串错误：不支持的 Provider“%1”。").arg(provider.left(40)));
    }
    if (!portSeen && cs.provider == Provider::PostgreSQL)
        cs.port = 5432;
    return cs;
}

QString ConnectionString::toString() const {
    if (provider == Provider::SQLite)
        return QStringLiteral("Provider=SQLite;Data Source=%1").arg(quoted(dataSource));
    QString s = QStringLiteral("Provider=PostgreSQL;Server=%1;Port=%2;User ID=%3;Password=%4;Database=%5")
                    .arg(quoted(server))
                    .arg(port)
                    .arg(quoted(userId), quoted(password), quoted(database));
    if (connectTimeout != 15)
        s += QStringLiteral(";Connect Timeout=%1").arg(connectTimeout);
    return s;
}

QString ConnectionString::redacted() const {
    ConnectionString copy = *this;
    if (!copy.password.isEmpty())
        copy.password = QStringLiteral("******");
    return copy.toString();
}

QString ConnectionString::databaseName() const {
    return provider == Provider::SQLite ? QFileInfo(dataSource).fileName() : database;
}

ConnectionString ConnectionString::sqlite(const QString &file) {
    ConnectionString cs;
    cs.provider = Provider::SQLite;
    cs.dataSource = file;
    return cs;
}

ConnectionString ConnectionString::postgres(const QString &server, int port, const QString &user,
                                            const QString &password, const QString &database) {
    ConnectionString cs;
    cs.provider = Provider::PostgreSQL;
    cs.server = server;
    cs.port = port;
    cs.userId = user;
    cs.password = password;
    cs.database = database;
    return cs;
}

} // namespace zostore::db
