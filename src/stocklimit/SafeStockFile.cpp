// The exchange file safestock.txt: store key, item key, minimum, maximum, safety stock per CR LF line.
#include "stocklimit/SafeStockFile.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "stocklimit/NumberText.h"

#include "db/MessageText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace zostore::stocklimit {

namespace {

QString fullPath(const QString &path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

Error writeFailure(const QString &path, const QFileDevice &file) {
    return Error(QStringLiteral("无法写入文件“%1”：%2").arg(fullPath(path), file.errorString()));
}

std::unique_ptr<QSaveFile> stageRows(db::Recordset &rs, const QString &path, int &n) {
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly))
        throw writeFailure(path, *file);
    n = 0;
    for (; !rs.eof(); rs.moveNext(), ++n) {
        const QString line = plainNumber(rs.value(QStringLiteral("FStockID"))) + QLatin1Char(',') +
                             plainNumber(rs.value(QStringLiteral("FItemID"))) + QLatin1Char(',') +
                             plainNumber(rs.value(QStringLiteral("FMin"))) + QLatin1Char(',') +
                             plainNumber(rs.value(QStringLiteral("FMax"))) + QLatin1Char(',') +
                             plainNumber(rs.value(QStringLiteral("FSafe"))) + QStringLiteral("\r\n");
        if (file->write(line.toLatin1()) < 0)
            throw writeFailure(path, *file);
    }
    if (!file->flush())
        throw writeFailure(path, *file);
    return file;
}

int writeRows(db::Recordset &rs, const QString &path) {
    int n = 0;
    auto file = stageRows(rs, path, n);
    if (!file->commit())
        throw writeFailure(path, *file);
    return n;
}

db::Recordset generatedRows(db::Connection &conn, const GenerationRequest &r) {
    if (r.stockId != 0)
        return conn.open(QStringLiteral("select t1.FStockID,t1.FItemID,t1.FMin,t1.FMax,t1.FSafe from ICSafeStock t1 "
                                        "inner join t_icitem t2 on t1.FItemID=t2.FItemID "
                                        "where t1.FStockID=? and t2.FNumber between ? and ? order by t2.FNumber"),
                         {r.stockId, r.rangeFrom(), r.rangeTo()}, db::Cursor::Forward);
    return conn.open(QStringLiteral("select 0 as FStockID,FItemID,isnull(FMinStock,0) as FMin,"
                                    "isnull(FMaxStock,0) as FMax,isnull(FSafeStock,0) as FSafe from t_icitem "
                                    "where FNumber between ? and ? order by FNumber"),
                     {r.rangeFrom(), r.rangeTo()}, db::Cursor::Forward);
}

struct Record {
    qint64 stockId;
    qint64 itemId;
    double min;
    double max;
    double safe;
};

// Digits before the point; a number too long for a double would otherwise read as 0.
int wholeDigits(const QString &field) {
    const QString s = field.trimmed();
    int i = s.startsWith(QLatin1Char('+')) || s.startsWith(QLatin1Char('-')) ? 1 : 0;
    const int start = i;
    while (i < s.size() && s[i].unicode() >= '0' && s[i].unicode() <= '9')
        ++i;
    return i - start;
}

// Keys are read like the quantities, then range-checked before they become integers.
qint64 keyOf(const QString &field, const QString &path, int line) {
    const double v = leadingNumber(field);
    if (wholeDigits(field) > 15 || !(v >= 0.0 && v < 9.0e15) || v != static_cast<double>(static_cast<qint64>(v)))
        throw Error(QStringLiteral("文件“%1”第 %2 行：代码“%3”不是有效的整数。")
                        .arg(fullPath(path))
                        .arg(line)
                        .arg(db::shortened(field)));
    return static_cast<qint64>(v);
}

double quantityOf(const QString &field, const QString &path, int line) {
    const double v = leadingNumber(field);
    if (wholeDigits(field) > 15 || !std::isfinite(v) || std::fabs(v) >= 1.0e15)
        throw Error(QStringLiteral("文件“%1”第 %2 行：数量“%3”超出范围。")
                        .arg(fullPath(path))
                        .arg(line)
                        .arg(db::shortened(field)));
    return v;
}

QList<Record> readRecords(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("找不到文件“%1”！").arg(fullPath(path)));
    const QString text = QString::fromLatin1(file.readAll());
    QStringList lines = text.split(QStringLiteral("\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<Record> records;
    records.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() < 5)
            throw Error(QStringLiteral("文件“%1”第 %2 行不足五个字段：%3")
                            .arg(fullPath(path))
                            .arg(i + 1)
                            .arg(db::shortened(line)));
        records.append({keyOf(f[0], path, i + 1), keyOf(f[1], path, i + 1), quantityOf(f[2], path, i + 1),
                        quantityOf(f[3], path, i + 1), quantityOf(f[4], path, i + 1)});
    }
    // An empty file would only clear the chosen store's limits: almost always a failed export.
    if (records.isEmpty())
        throw Error(QStringLiteral("文件里没有数据：%1，未做任何修改。").arg(fullPath(path)));
    return records;
}

} // namespace

int SafeStockFile::writeGenerated(db::Connection &conn, const QString &path, const GenerationRequest &r) {
    db::Recordset rs = generatedRows(conn, r);
    return writeRows(rs, path);
}

std::unique_ptr<QSaveFile> SafeStockFile::stageGenerated(db::Connection &conn, const QString &path,
                                                         const GenerationRequest &r, int &count) {
    db::Recordset rs = generatedRows(conn, r);
    return stageRows(rs, path, count);
}

int SafeStockFile::writeAll(db::Connection &conn, const QString &path) {
    db::Recordset rs = conn.open(
        QStringLiteral("select 0 as FStockID,FItemID,isnull(FMinStock,0) as FMin,isnull(FMaxStock,0) as FMax,"
                       "isnull(FSafeStock,0) as FSafe,0 as FPart,FNumber as FOrder,0 as FStoreOrder from t_icitem "
                       "union all "
                       "select FStockID,FItemID,FMin,FMax,FSafe,1,'',FStockID from ICSafeStock "
                       "order by 6,7,8,2"),
        {}, db::Cursor::Forward);
    return writeRows(rs, path);
}

int SafeStockFile::import(db::Connection &target, const QString &path, const GenerationRequest &r) {
    const QList<Record> records = readRecords(path);
    db::Transaction tx(target, db::Transaction::Lock::Books);
    if (r.stockId > 0)
        target.execute(QStringLiteral("delete from ICSafeStock where FStockID=? and FItemID in "
                                      "(select FItemID from t_icitem where FNumber between ? and ?)"),
                       {r.stockId, r.rangeFrom(), r.rangeTo()});
    auto totals = target.prepare(
        QStringLiteral("update t_icitem set FMinStock=?,FMaxStock=?,FSafeStock=? where FItemID=?"));
    auto rows = target.prepare(
        QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(?,?,?,?,?) "
                       "on conflict(FStockID,FItemID) do update set FMin=excluded.FMin,FMax=excluded.FMax,"
                       "FSafe=excluded.FSafe"));
    for (const Record &rec : records) {
        if (rec.stockId == 0)
            totals.exec({rec.min, rec.max, rec.safe, rec.itemId});
        else
            rows.exec({rec.stockId, rec.itemId, rec.min, rec.max, rec.safe});
    }
    tx.commit();
    return static_cast<int>(records.size());
}

} // namespace zostore::stocklimit
