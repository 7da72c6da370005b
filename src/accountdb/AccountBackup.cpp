// Backup and restore of one account set: a SQLite copy of the file, or a PostgreSQL archive of the database.
#include "accountdb/AccountBackup.h"

#include "accountdb/BackupCheck.h"
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

namespace zostore::accountdb {

namespace {

const QString identityTable = QStringLiteral("t_AccountIdentity");

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

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
QString runPgTool(const QString &tool, const QStringList &args, const db::ConnectionString &cs,
                  const QString &serverOptions = {}) {
    const QString exe = requireTool(tool);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), cs.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QString::number(cs.connectTimeout));
    if (!serverOptions.isEmpty())
        env.insert(QStringLiteral("PGOPTIONS"),
                   (env.value(QStringLiteral("PGOPTIONS")) + u' ' + serverOptions).trimmed());
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
    const auto taken = [](const QString &f) {
        return QFileInfo::exists(f) || QFileInfo::exists(digestFileOf(f));
    };
    QString file = toFile;
    if (file.isEmpty()) {
        const QString folder = backupFolder();
        const QDateTime now = QDateTime::currentDateTime();
        file = defaultBackupFile(folder, accountName, !cs.isSqlite(), now);
        for (int n = 2; taken(file); ++n)
            file = defaultBackupFile(folder, accountName + QStringLiteral("_%1").arg(n), !cs.isSqlite(), now);
    }
    file = QFileInfo(file).absoluteFilePath();
    const QString digest = digestFileOf(file);
    for (const QString &f : {file, digest})
        if (QFileInfo::exists(f))
            throw Error(QStringLiteral("备份文件“%1”已经存在，未做备份。请换一个文件名。").arg(native(f)));
    if (!QFileInfo(QFileInfo(file).absolutePath()).isDir())
        throw Error(QStringLiteral("备份文件夹“%1”不存在，未做备份。").arg(native(QFileInfo(file).absolutePath())));
    ensureIdentity(cnstr);

    // Written under temporary names first, so a failed backup never looks like a finished one; the digest
    // goes in place before the backup, so a finished backup always has it beside it.
    const QString part = file + QStringLiteral(".part");
    const QString digestPart = digest + QStringLiteral(".part");
    QFile::remove(part);
    QFile::remove(digestPart);
    try {
        if (cs.isSqlite()) {
            db::Connection conn(cnstr);
            writeSqlite(conn, part);
        } else {
            runPgTool(QStringLiteral("pg_dump"),
                      QStringList{QStringLiteral("--format=custom"), QStringLiteral("--file=") + part} + pgTarget(cs), cs);
        }
        writeDigestFile(part, digestPart, file);
        if (!QFile::rename(digestPart, digest))
            throw Error(QStringLiteral("无法写入文件“%1”。").arg(native(digest)));
        if (!QFile::rename(part, file)) {
            QFile::remove(digest);
            throw Error(QStringLiteral("无法写入文件“%1”。").arg(native(file)));
        }
    } catch (const Error &e) {
        QFile::remove(part);
        QFile::remove(digestPart);
        throw Error(QStringLiteral("备份帐套失败，备份文件未写成：%1").arg(e.description()), e.number());
    }
    return file;
}

namespace {

// Only the identity table's rows, printed as text: nothing touches a database.
QString pgIdentity(const QString &copy, const QString &backup) {
    QProcess p;
    p.start(requireTool(QStringLiteral("pg_restore")),
            {QStringLiteral("--data-only"), QStringLiteral("--table=t_accountidentity"),
             QStringLiteral("--file=-"), copy});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw notABackup(backup);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].startsWith(QStringLiteral("COPY ")) && lines[i].contains(QStringLiteral("t_accountidentity")) &&
            lines[i + 1] != QStringLiteral("\\."))
            return lines[i + 1].trimmed();
    throw notABackup(backup);
}

void restorePostgres(db::Connection &conn, const db::ConnectionString &cs, const QString &copy,
                     const QString &backup) {
    // The lock is held by a session of our own while pg_restore works in its one transaction; pg_restore
    // itself waits no longer than that for the tables other sessions are using.
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    try {
        runPgTool(QStringLiteral("pg_restore"),
                  QStringList{QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                              QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                              QStringLiteral("--no-owner"), QStringLiteral("--no-privileges")} +
                      pgTarget(cs) + QStringList{copy},
                  cs, QStringLiteral("-c lock_timeout=%1").arg(db::Connection::booksLockWaitMs()));
    } catch (const Error &e) {
        if (e.description().contains(QStringLiteral("lock timeout")))
            throw Error(QStringLiteral("帐套正被其他电脑或窗口使用，无法恢复，请稍后再试。未做任何修改。"),
                        Error::Lock);
        throw Error(QStringLiteral("不能从备份文件“%1”恢复帐套，未做任何修改：%2")
                        .arg(native(backup), e.description()),
                    e.number());
    }
}

} // namespace

BackupCheck restoreAccount(const QString &cnstr, const QString &fromFile) {
    const db::ConnectionString cs = db::ConnectionString::parse(cnstr);
    const QString file = QFileInfo(fromFile).absoluteFilePath();
    if (!QFileInfo(file).isFile())
        throw Error(QStringLiteral("备份文件“%1”不存在，未做任何恢复。").arg(native(file)));
    const std::optional<QByteArray> recorded = recordedDigest(file);
    // Checked and restored from one private copy: what was checked is what goes in.
    const BackupCopy copy(file, cs.isSqlite() ? QFileInfo(cs.dataSource).absolutePath() : QDir::tempPath());
    if (recorded && copy.digest() != *recorded)
        throw damagedBackup(
            file, QStringLiteral("内容与备份时写下的校验值不符，见“%1”").arg(native(digestFileOf(file))));
    const QString saved =
        cs.isSqlite() ? checkedSqliteIdentity(copy.path(), file) : pgIdentity(copy.path(), file);
    db::Connection conn(cs);
    const std::optional<QString> live = storedAccountIdentity(conn);
    if (!live || *live != saved)
        throw Error(QStringLiteral("备份文件“%1”是另一个帐套的备份，不能恢复到本帐套，未做任何修改。").arg(native(file)));
    if (cs.isSqlite())
        conn.replaceWith(copy.path());
    else
        restorePostgres(conn, cs, copy.path(), file);
    return recorded ? BackupCheck::Digest : BackupCheck::IntegrityOnly;
}

} // namespace zostore::accountdb
