// What a restore checks before it replaces anything: the digest written beside a backup, and a private
// copy of the backup that the restore then works from.
#include "accountdb/BackupCheck.h"

#include "db/MessageText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUuid>
#include <sodium.h>
#include <sqlite3.h>

namespace zostore::accountdb {

namespace {

constexpr qint64 Chunk = 1 << 20;

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// BLAKE2b-512 without a key, as b2sum computes it.
class Digest {
public:
    Digest() {
        if (sodium_init() < 0)
            throw Error(QStringLiteral("密码库初始化失败。"));
        crypto_generichash_init(&m_state, nullptr, 0, crypto_generichash_BYTES_MAX);
    }
    void add(const QByteArray &bytes) {
        crypto_generichash_update(&m_state, reinterpret_cast<const unsigned char *>(bytes.constData()),
                                  static_cast<unsigned long long>(bytes.size()));
    }
    QByteArray hex() {
        QByteArray out(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
        crypto_generichash_final(&m_state, reinterpret_cast<unsigned char *>(out.data()), out.size());
        return out.toHex();
    }

private:
    crypto_generichash_state m_state;
};

QByteArray hashOf(const QString &file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取文件“%1”：%2").arg(native(file), f.errorString()));
    Digest d;
    QByteArray buf;
    while (!(buf = f.read(Chunk)).isEmpty())
        d.add(buf);
    if (f.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("无法读取文件“%1”：%2").arg(native(file), f.errorString()));
    return d.hex();
}

} // namespace

Error notABackup(const QString &file) {
    return Error(QStringLiteral("文件“%1”不是帐套备份文件，未做任何恢复。").arg(native(file)));
}

Error damagedBackup(const QString &file, const QString &why) {
    return Error(
        QStringLiteral("备份文件“%1”已损坏（%2），不能用来恢复，未做任何修改。").arg(native(file), why));
}

QString digestFileOf(const QString &backup) {
    return backup + QStringLiteral(".b2");
}

void writeDigestFile(const QString &file, const QString &digestFile, const QString &backupName) {
    const QByteArray line = hashOf(file) + "  " + QFileInfo(backupName).fileName().toUtf8() + '\n';
    QFile f(digestFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(line) != line.size() || !f.flush())
        throw Error(QStringLiteral("无法写入校验文件“%1”：%2").arg(native(digestFile), f.errorString()));
}

std::optional<QByteArray> recordedDigest(const QString &backup) {
    const QString file = digestFileOf(backup);
    if (!QFileInfo::exists(file))
        return std::nullopt;
    QFile f(file);
    static const QRegularExpression form(QStringLiteral("^([0-9a-fA-F]{128})\\s"));
    const auto m =
        f.open(QIODevice::ReadOnly) ? form.match(QString::fromUtf8(f.read(4096))) : QRegularExpressionMatch();
    if (!m.hasMatch())
        throw Error(QStringLiteral("备份文件“%1”的校验文件“%2”无法读取或内容不对，未做任何恢复。")
                        .arg(native(backup), native(file)));
    return m.captured(1).toLatin1().toLower();
}

BackupCopy::BackupCopy(const QString &backup, const QString &folder)
    : m_path(QDir(folder).filePath(
          QStringLiteral(".zostore-restore-%1.tmp").arg(QUuid::createUuid().toString(QUuid::Id128)))) {
    QFile in(backup);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("无法读取备份文件“%1”：%2，未做任何恢复。").arg(native(backup), in.errorString()));
    QFile out(m_path);
    if (!out.open(QIODevice::NewOnly | QIODevice::WriteOnly))
        throw Error(QStringLiteral("无法在“%1”写入临时文件：%2，未做任何恢复。")
                        .arg(native(folder), out.errorString()));
    // A constructor that throws gets no destructor.
    auto removeOnThrow = qScopeGuard([this] { QFile::remove(m_path); });
    // The digest is of the very bytes the restore goes on to use, even from a medium that reads unsteadily.
    Digest d;
    QByteArray buf;
    while (!(buf = in.read(Chunk)).isEmpty()) {
        d.add(buf);
        if (out.write(buf) != buf.size())
            throw Error(QStringLiteral("无法写入临时文件“%1”：%2，未做任何恢复。")
                            .arg(native(m_path), out.errorString()));
    }
    if (in.error() != QFileDevice::NoError)
        throw Error(
            QStringLiteral("无法读取备份文件“%1”：%2，未做任何恢复。").arg(native(backup), in.errorString()));
    if (!out.flush())
        throw Error(QStringLiteral("无法写入临时文件“%1”：%2，未做任何恢复。")
                        .arg(native(m_path), out.errorString()));
    m_digest = d.hex();
    removeOnThrow.dismiss();
}

BackupCopy::~BackupCopy() {
    for (const QString &suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(m_path + suffix);
}

QString checkedSqliteIdentity(const QString &copy, const QString &backup) {
    sqlite3 *h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(copy).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(h);
        throw notABackup(backup);
    }
    const auto closer = qScopeGuard([h] { sqlite3_close(h); });
    const auto rows = [&](const char *sql, int limit) {
        sqlite3_stmt *st = nullptr;
        const int prc = sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
        QStringList out;
        int rc = prc;
        while (prc == SQLITE_OK && out.size() < limit && (rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc == SQLITE_NOTADB)
            throw notABackup(backup);
        if (rc == SQLITE_CORRUPT)
            throw damagedBackup(
                backup,
                QStringLiteral("数据库完整性检查未通过：%1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return std::optional<QStringList>();
        return std::optional<QStringList>(out);
    };
    const auto check = rows("pragma integrity_check", 1);
    if (!check)
        throw notABackup(backup);
    if (check->value(0) != QStringLiteral("ok"))
        throw damagedBackup(
            backup, QStringLiteral("数据库完整性检查未通过：%1").arg(db::shortened(check->value(0), 120)));
    const auto id = rows("select FIdentity from t_AccountIdentity", 1);
    if (!id || id->value(0).isEmpty())
        throw notABackup(backup);
    return id->value(0);
}

} // namespace zostore::accountdb
