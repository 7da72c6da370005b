// Stock-limit commands: generation and the safestock.txt export and import, grant-checked for a user.
#include "admin/StockLimitCommands.h"

#include "accountdb/SystemProfile.h"
#include "accountdb/WorkFolder.h"
#include "admin/AccountCommands.h"
#include "admin/BatchLogin.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "startup/LoginContext.h"
#include "stocklimit/NumberText.h"
#include "stocklimit/SafeStockFile.h"
#include "stocklimit/StockLimitGeneration.h"

#include <QDir>
#include <QSaveFile>

#include <memory>

namespace zostore::admin {

namespace {

// Grants of the safety-stock editor and of its generation command.
const QString EditorGrant = QStringLiteral("717");
const QString GenerateGrant = QStringLiteral("397");

// stocklimit's exit code when the limits were committed but the exchange file could not be put in place.
constexpr int LimitsSavedFileNotWritten = 3;

QDate dateOption(const Invocation &inv, const QString &name) {
    const QString text = inv.option(name);
    if (text.isEmpty())
        return QDate::currentDate();
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        throw UsageError(QStringLiteral("--%1 的日期“%2”无效，应为 yyyy-MM-dd。").arg(name, db::shortened(text)));
    return d;
}

double factorOption(const Invocation &inv, const QString &name, const QString &profileValue) {
    return stocklimit::leadingNumber(inv.options.contains(name) ? inv.option(name) : profileValue);
}

// The store by its number; 0 for none.
int storeOption(db::Connection &conn, const Invocation &inv) {
    const QString number = inv.option(QStringLiteral("store"));
    if (number.isEmpty())
        return 0;
    const QVariant id = conn.scalar(QStringLiteral("select FItemID from t_Stock where FNumber=?"), {number});
    if (id.isNull())
        throw Error(QStringLiteral("仓库“%1”不存在。/ No store \"%1\".").arg(db::shortened(number)));
    return id.toInt();
}

void rangeOptions(const Invocation &inv, stocklimit::GenerationRequest &r) {
    r.fromItem = inv.option(QStringLiteral("from-item"));
    r.toItem = inv.option(QStringLiteral("to-item"));
}

QString exchangePath() { return QDir(accountdb::workFolder()).absoluteFilePath(stocklimit::SafeStockFile::fileName()); }

QString scopeText(const stocklimit::GenerationRequest &r, const QString &storeNumber) {
    return (r.stockId > 0 ? QStringLiteral("仓库 %1").arg(storeNumber) : QStringLiteral("商品总库存")) +
           QStringLiteral("，商品代码 %1 至 %2").arg(r.rangeFrom(), r.rangeTo());
}

QString scopeEnglish(const stocklimit::GenerationRequest &r, const QString &storeNumber) {
    return (r.stockId > 0 ? QStringLiteral("store %1").arg(storeNumber) : QStringLiteral("item totals")) +
           QStringLiteral(", items %1 to %2").arg(r.rangeFrom(), r.rangeTo());
}

} // namespace

Command stockLimitCommand() {
    return {QStringLiteral("stocklimit"),
            QStringLiteral("<数据库名> --user 用户名 [--from yyyy-MM-dd] [--to yyyy-MM-dd] [--store 仓库代码] "
                           "[--basis own|all] [--from-item 代码] [--to-item 代码] [--min 倍数] [--max 倍数] "
                           "[--safe 倍数] [--export-to 数据库名]"),
            QStringLiteral("按销售量生成库存上下限，并写出 safestock.txt（上下限已保存而文件未写出时退出码为 3）"), 1, 1,
            {QStringLiteral("user"), QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("store"),
             QStringLiteral("basis"), QStringLiteral("from-item"), QStringLiteral("to-item"), QStringLiteral("min"),
             QStringLiteral("max"), QStringLiteral("safe"), QStringLiteral("export-to")},
            {},
            [](Invocation &inv) {
                const QString basis = inv.option(QStringLiteral("basis"), QStringLiteral("own"));
                if (basis != QLatin1String("own") && basis != QLatin1String("all"))
                    throw UsageError(QStringLiteral("--basis 只能是 own（按本仓销售）或 all（按全部仓库销售）。"));
                stocklimit::GenerationRequest r;
                r.first = dateOption(inv, QStringLiteral("from"));
                r.last = dateOption(inv, QStringLiteral("to"));
                if (r.first > r.last)
                    throw UsageError(QStringLiteral("起始日期晚于截止日期。/ The first date is after the last."));
                rangeOptions(inv, r);
                r.ownStoreSales = basis == QLatin1String("own");
                const QString cs = loginAndCheck(inv, {EditorGrant, GenerateGrant});
                QString target;
                if (inv.options.contains(QStringLiteral("export-to")))
                    target = registeredAccount(inv, inv.option(QStringLiteral("export-to")));
                db::Connection conn(cs);
                conn.setTimeout(3000);
                r.stockId = storeOption(conn, inv);
                // Multipliers not given come from the account set's profile.
                r.minF = factorOption(inv, QStringLiteral("min"), accountdb::readProfile(conn, QStringLiteral("MinStock")));
                r.maxF = factorOption(inv, QStringLiteral("max"), accountdb::readProfile(conn, QStringLiteral("MaxStock")));
                r.safeF = factorOption(inv, QStringLiteral("safe"), accountdb::readProfile(conn, QStringLiteral("SafeStock")));

                // The file is written beside its final name inside the transaction, so a folder that cannot
                // take it leaves the limits as they were; only the rename waits for the commit.
                const QString path = exchangePath();
                std::unique_ptr<QSaveFile> staged;
                int n = 0;
                stocklimit::StockLimitGeneration::generate(
                    conn, r, [&] { staged = stocklimit::SafeStockFile::stageGenerated(conn, path, r, n); });
                const QString store = inv.option(QStringLiteral("store"));
                inv.io->out << QStringLiteral("已生成库存上下限：%1，%2 至 %3，%4，倍数 最小 %5 最大 %6 安全 %7。\n")
                                   .arg(scopeText(r, store), r.first.toString(Qt::ISODate), r.last.toString(Qt::ISODate),
                                        r.ownStoreSales ? QStringLiteral("按本仓销售") : QStringLiteral("按全部仓库销售"))
                                   .arg(r.minF)
                                   .arg(r.maxF)
                                   .arg(r.safeF)
                            << QStringLiteral("Stock limits generated: %1, %2 to %3, %4 sales, factors min %5 max %6 safe %7.\n")
                                   .arg(scopeEnglish(r, store), r.first.toString(Qt::ISODate), r.last.toString(Qt::ISODate),
                                        r.ownStoreSales ? QStringLiteral("own store's") : QStringLiteral("all stores'"))
                                   .arg(r.minF)
                                   .arg(r.maxF)
                                   .arg(r.safeF);
                if (!staged->commit()) {
                    inv.io->err << QStringLiteral("库存上下限已保存，但 %1 未能写出（%2）；未导出到其他帐套。"
                                                  "可用 safestock-export 重新写出。\n"
                                                  "Stock limits were saved, but %1 was not written; nothing was exported.\n")
                                       .arg(QDir::toNativeSeparators(path), staged->errorString());
                    inv.exitCode = LimitsSavedFileNotWritten;
                    return;
                }
                inv.io->out << QStringLiteral("已写出 %1 条记录到 %2。\nWrote %1 records to %2.\n").arg(n).arg(path);
                if (!target.isEmpty()) {
                    db::Connection t(target);
                    const int m = stocklimit::SafeStockFile::import(t, path, r);
                    inv.io->out << QStringLiteral("已导入 %1 条记录到帐套 %2。\nImported %1 records into %2.\n")
                                       .arg(m)
                                       .arg(inv.option(QStringLiteral("export-to")));
                }
            }};
}

Command safeStockExportCommand() {
    return {QStringLiteral("safestock-export"), QStringLiteral("<数据库名> --user 用户名"),
            QStringLiteral("把全部库存上下限写出到 safestock.txt"), 1, 1, {QStringLiteral("user")}, {},
            [](Invocation &inv) {
                const QString cs = loginAndCheck(inv, {EditorGrant});
                db::Connection conn(cs);
                const QString path = exchangePath();
                const int n = stocklimit::SafeStockFile::writeAll(conn, path);
                inv.io->out << QStringLiteral("导出完成！已写出 %1 条记录到 %2。\nExported %1 records to %2.\n").arg(n).arg(path);
            }};
}

Command safeStockImportCommand() {
    return {QStringLiteral("safestock-import"),
            QStringLiteral("<数据库名> --user 用户名 [--store 仓库代码] [--from-item 代码] [--to-item 代码]"),
            QStringLiteral("从 safestock.txt 读入库存上下限（指定仓库时先删除该仓库范围内的记录）"), 1, 1,
            {QStringLiteral("user"), QStringLiteral("store"), QStringLiteral("from-item"), QStringLiteral("to-item")}, {},
            [](Invocation &inv) {
                const QString cs = loginAndCheck(inv, {EditorGrant, GenerateGrant});
                db::Connection conn(cs);
                stocklimit::GenerationRequest r;
                rangeOptions(inv, r);
                r.stockId = storeOption(conn, inv);
                const QString path = exchangePath();
                const int n = stocklimit::SafeStockFile::import(conn, path, r);
                inv.io->out << QStringLiteral("已从 %1 导入 %2 条记录（%3）。\nImported %2 records from %1 (%4).\n")
                                   .arg(path)
                                   .arg(n)
                                   .arg(scopeText(r, inv.option(QStringLiteral("store"))),
                                        scopeEnglish(r, inv.option(QStringLiteral("store"))));
            }};
}

} // namespace zostore::admin
