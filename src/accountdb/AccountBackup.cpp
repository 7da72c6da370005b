// Backup and restore of one account set: a SQLite copy of the file, or a PostgreSQL archive of the database.
#include "accountdb/AccountBackup.h"

#include "accountdb/Schema.h"
#include "accountdb/WorkFolder.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUuid>
#include <sqlite3.h>

namespace zostore::accountdb {

namespace {

const QString identityTable = QStringLiteral("t_AccountIdentity");

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

Error notABackup(const QString &file) {
    return Error(QStringLiteral("文件“%1”不是帐套备份文件，未做任何恢复。").arg(native(file)));
}

QString ensureIdentity(const QString &cnstr) {
    db::Connection conn(cnstr);
    db::Transaction tx(conn);
    ensureTable(conn, identityTable);
    if (const auto id = storedAccountIdentity(conn))
        return *id;
    writeAccountIdentity(conn);
    tx.commit();
    return *storedAccountIdentity(conn);
}

QString requireTool(const QString &tool) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        throw Error(QStringLiteral("没有找到 PostgreSQL 的 %1 程序，无法备份或恢复帐套。请先安装 PostgreSQL "
                                   "客户端（postgresql-client），未做任何修改。")
                        .arg(tool));
    return exe;
}

// The PostgreSQL client tools run with the password in their environment, never on the command line.
QString runPgTool(const QString &tool, const QStringList &args, const db::ConnectionString &cs) {
    const QString exe = requireTool(tool);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), cs.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QString::number(cs.connectTimeout));
    p.setProcessEnvironment(env);
    QStringList all{QStringLiteral("--host=") + cs.server, QStringLiteral("--port=") + QString::number(cs.port),
                    QStringLiteral("--username=") + cs.userId, QStringLiteral("--no-password")};
    all << args;
    p.start(exe, all);
    if (!p.waitForStarted())
        throw Error(QStringLiteral("无法启动 %1：%2").arg(tool, p.errorString()));
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw Error(QStringLiteral("%1 执行失败：%2").arg(tool, db::shortened(err.isEmpty() ? p.errorString() : err)));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pgTarget(const db::ConnectionString &cs) { return {QStringLiteral("--dbname=") + cs.database}; }

void writeSqlite(db::Connection &conn, const QString &part) {
    conn.execute(QStringLiteral("vacuum into ?"), {part});
}

// A handle of its own, outside the connection layer: the backup interface works on raw handles.
struct SqliteHandle {
    sqlite3 *h = nullptr;
    SqliteHandle(const QString &file, int flags) {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &h, flags, nullptr) != SQLITE_OK) {
            const QString why = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString();
            sqlite3_close(h);
            h = nullptr;
            throw Error(QStringLiteral("无法打开数据库文件“%1”：%2").arg(native(file), why));
        }
        sqlite3_busy_timeout(h, 5000);
    }
    ~SqliteHandle() { sqlite3_close(h); }
    SqliteHandle(const SqliteHandle &) = delete;
    SqliteHandle &operator=(const SqliteHandle &) = delete;
};

QString sqliteIdentity(const QString &file) {
    if (!QFileInfo(file).isFile())
        throw Error(QStringLiteral("备份文件“%1”不存在，未做任何恢复。").arg(native(file)));
    SqliteHandle db(file, SQLITE_OPEN_READONLY);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.h, "select FIdentity from t_AccountIdentity", -1, &st, nullptr) != SQLITE_OK)
        throw notABackup(file);
    QString id;
    if (sqlite3_step(st) == SQLITE_ROW)
        id = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (id.isEmpty())
        throw notABackup(file);
    return id;
}

void restoreSqlite(const QString &liveFile, const QString &backup) {
    SqliteHandle src(backup, SQLITE_OPEN_READONLY);
    SqliteHandle dst(liveFile, SQLITE_OPEN_READWRITE);
    // One step copies every page inside a single write transaction of the live file: other
    // connections see the old set or the restored one, never a mixture.
    sqlite3_backup *b = sqlite3_backup_init(dst.h, "main", src.h, "main");
    if (!b)
        throw Error(QStringLiteral("恢复帐套失败：%1").arg(QString::fromUtf8(sqlite3_errmsg(dst.h))));
    const int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) {
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            throw Error(QStringLiteral("帐套正被其他电脑或窗口使用，无法恢复，请稍后再试。未做任何修改。"), Error::Lock);
        throw Error(QStringLiteral("恢复帐套失败：%1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
    }
}

} // namespace

void writeAccountIdentity(db::Connection &conn) {
    ensureTable(conn, identityTable);
    conn.execute(QStringLiteral("delete from t_AccountIdentity"));
    conn.execute(QStringLiteral("insert into t_AccountIdentity (FIdentity) values (?)"),
                 {QUuid::createUuid().toString(QUuid::WithoutBraces)});
}

std::optional<QString> storedAccountIdentity(db::Connection &conn) {
    if (!hasTable(conn, identityTable))
        return std::nullopt;
    const QVariant v = conn.scalar(QStringLiteral("select FIdentity from t_AccountIdentity"));
    if (v.isNull() || v.toString().isEmpty())
        return std::nullopt;
    return v.toString();
}

QString backupFolder() {
    const QString path = workFolder() + QStringLiteral("/backup");
    if (!QDir().mkpath(path))
        throw Error(QStringLiteral("无法创建备份文件夹：%1").arg(native(path)));
    return path;
}

QString defaultBackupFile(const QString &folder, const QString &accountName, bool postgres, const QDateTime &at) {
    QString name = accountName.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("帐套");
    return QStringLiteral("%1/%2_%3%4")
        .arg(folder, name, at.toString(QStringLiteral("yyyyMMdd_HHmmss")),
             postgres ? QStringLiteral(".backup") : QStringLiteral(".db"));
}

QString backupAccount(const QString &cnstr, const QString &accountName, const QString &toFile) {
    const db::ConnectionString cs = db::ConnectionString::parse(cnstr);
    QString file = toFile;
    if (file.isEmpty()) {
        const QString folder = backupFolder();
        const QDateTime now = QDateTime::currentDateTime();
        file = defaultBackupFile(folder, accountName, !cs.isSqlite(), now);
        for (int n = 2; QFileInfo::exists(file); ++n)
            file = defaultBackupFile(folder, accountName + QStringLiteral("_%1").arg(n), !cs.isSqlite(), now);
    }
    file = QFileInfo(file).absoluteFilePath();
    if (QFileInfo::exists(file))
        throw Error(QStringLiteral("备份文件“%1”已经存在，未做备份。请换一个文件名。").arg(native(file)));
    if (!QFileInfo(QFileInfo(file).absolutePath()).isDir())
        throw Error(QStringLiteral("备份文件夹“%1”不存在，未做备份。").arg(native(QFileInfo(file).absolutePath())));
    ensureIdentity(cnstr);

    // Written under a temporary name first, so a failed backup never looks like a finished one.
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    try {
        if (cs.isSqlite()) {
            db::Connection conn(cnstr);
            writeSqlite(conn, part);
        } else {
            runPgTool(QStringLiteral("pg_dump"),
                      QStringList{QStringLiteral("--format=custom"), QStringLiteral("--file=") + part} + pgTarget(cs), cs);
        }
        if (!QFile::rename(part, file))
            throw Error(QStringLiteral("无法写入文件“%1”。").arg(native(file)));
    } catch (const Error &e) {
        QFile::remove(part);
        throw Error(QStringLiteral("备份帐套失败，备份文件未写成：%1").arg(e.description()), e.number());
    }
    return file;
}

QString backupIdentity(const QString &file, bool postgres) {
    if (!postgres)
        return sqliteIdentity(file);
    if (!QFileInfo(file).isFile())
        throw Error(QStringLiteral("备份文件“%1”不存在，未做任何恢复。").arg(native(file)));
    // Only the identity table's rows, printed as text: nothing touches a database.
    QProcess p;
    p.start(requireTool(QStringLiteral("pg_restore")),
            {QStringLiteral("--data-only"), QStringLiteral("--table=t_accountidentity"), QStringLiteral("--file=-"),
             file});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw notABackup(file);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].startsWith(QStringLiteral("COPY ")) && lines[i].contains(QStringLiteral("t_accountidentity")) &&
            lines[i + 1] != QStringLiteral("\\."))
            return lines[i + 1].trimmed();
    throw notABackup(file);
}

void restoreAccount(const QString &cnstr, const QString &fromFile) {
    const db::ConnectionString cs = db::ConnectionString::parse(cnstr);
    const QString file = QFileInfo(fromFile).absoluteFilePath();
    const QString saved = backupIdentity(file, !cs.isSqlite());
    std::optional<QString> live;
    {
        db::Connection conn(cnstr);
        live = storedAccountIdentity(conn);
    }
    if (!live || *live != saved)
        throw Error(QStringLiteral("备份文件“%1”是另一个帐套的备份，不能恢复到本帐套，未做任何修改。").arg(native(file)));
    if (cs.isSqlite())
        restoreSqlite(cs.dataSource, file);
    else
        runPgTool(QStringLiteral("pg_restore"),
                  QStringList{QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                              QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                              QStringLiteral("--no-owner"), QStringLiteral("--no-privileges")} +
                      pgTarget(cs) + QStringList{file},
                  cs);
}

} // namespace zostore::accountdb
