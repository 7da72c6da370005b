#include "admin/FileCommands.h"

#include "admin/BatchLogin.h"
#include "components/export/Sheet.h"
#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/init/StockTransfer.h"
#include "modules/items/ItemTransfer.h"

#include <QDir>

namespace zostore::admin {

namespace {

using modules::items::FileKind;

FileKind partnerKind(const Invocation &inv) {
    const QString k = inv.option(QStringLiteral("kind"));
    if (k == QLatin1String("supplier"))
        return FileKind::Supplier;
    if (k == QLatin1String("customer"))
        return FileKind::Customer;
    throw UsageError(QStringLiteral("请用 --kind supplier 或 --kind customer 指定供应商或客户。"));
}

QString fileOption(const Invocation &inv) {
    if (!inv.options.contains(QStringLiteral("file")))
        throw UsageError(QStringLiteral("请用 --file 指定 .xlsx 或 .csv 文件。"));
    return QDir::current().absoluteFilePath(inv.option(QStringLiteral("file")));
}

void report(Invocation &inv, const components::sheet::ImportReport &r, const QString &path) {
    if (!r.bad.isEmpty())
        inv.io->err << r.text() << '\n';
    if (!r.bad.isEmpty() && !inv.flag(QStringLiteral("skip-bad")))
        throw Error(QStringLiteral("%1 中有 %2 行有错，什么也没有导入（加 --skip-bad 只导入正确的行）。")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(r.bad.size()));
    inv.io->out << QStringLiteral("已导入 %1 行%2。\n%1 rows imported.\n")
                       .arg(r.imported)
                       .arg(r.bad.isEmpty() ? QString()
                                            : QStringLiteral("，跳过有错的 %1 行").arg(r.bad.size()));
}

Command importCommand(bool partners) {
    return {partners ? QStringLiteral("import-partners") : QStringLiteral("import-items"),
            partners
                ? QStringLiteral("<数据库名> --user 用户名 --kind supplier|customer --file 文件 [--skip-bad]")
                : QStringLiteral("<数据库名> --user 用户名 --file 文件 [--skip-bad]"),
            partners ? QStringLiteral("从 Excel 或 CSV 文件导入供应商或客户（第一行是列标题）")
                     : QStringLiteral("从 Excel 或 CSV 文件导入商品资料（第一行是列标题）"),
            1,
            1,
            partners ? QStringList{QStringLiteral("user"), QStringLiteral("file"), QStringLiteral("kind")}
                     : QStringList{QStringLiteral("user"), QStringLiteral("file")},
            {QStringLiteral("skip-bad")},
            [partners](Invocation &inv) {
                const FileKind kind = partners ? partnerKind(inv) : FileKind::Stock;
                const QString path = fileOption(inv);
                const QString cs = loginAndCheck(inv, {});
                const QList<QStringList> rows = components::sheet::readSheet(path);
                db::Connection conn(cs);
                const bool skip = inv.flag(QStringLiteral("skip-bad"));
                report(inv,
                       partners ? modules::items::importPartners(conn, kind, rows, skip)
                                : modules::items::importItems(conn, rows, skip),
                       path);
            }};
}

Command exportCommand(bool partners) {
    return {partners ? QStringLiteral("export-partners") : QStringLiteral("export-items"),
            partners ? QStringLiteral(
                           "<数据库名> --user 用户名 --kind supplier|customer --file 文件.xlsx|文件.csv")
                     : QStringLiteral("<数据库名> --user 用户名 --file 文件.xlsx|文件.csv"),
            partners ? QStringLiteral("把供应商或客户写成 Excel 或 CSV 文件（可再导入）")
                     : QStringLiteral("把商品资料写成 Excel 或 CSV 文件（可再导入）"),
            1,
            1,
            partners ? QStringList{QStringLiteral("user"), QStringLiteral("file"), QStringLiteral("kind")}
                     : QStringList{QStringLiteral("user"), QStringLiteral("file")},
            {},
            [partners](Invocation &inv) {
                const FileKind kind = partners ? partnerKind(inv) : FileKind::Stock;
                const QString path = fileOption(inv);
                const QString cs = loginAndCheck(inv, {});
                db::Connection conn(cs);
                const components::sheet::Sheet s =
                    partners ? modules::items::exportPartners(conn, kind) : modules::items::exportItems(conn);
                components::sheet::writeSheet(s, path);
                inv.io->out << QStringLiteral("共 %1 行，已写入 %2。\n%1 rows written to %2.\n")
                                   .arg(s.rows.size())
                                   .arg(QDir::toNativeSeparators(path));
            }};
}

Command importStockCommand() {
    return {QStringLiteral("import-stock"),
            QStringLiteral("<数据库名> --user 用户名 --file 文件 [--skip-bad]"),
            QStringLiteral(
                "从 Excel 或 CSV 文件导入各仓库的期初库存（列：仓库、商品代码、期初数量、期初金额或单价）"),
            1,
            1,
            {QStringLiteral("user"), QStringLiteral("file")},
            {QStringLiteral("skip-bad")},
            [](Invocation &inv) {
                const QString path = fileOption(inv);
                const QString cs = loginAndCheck(inv, {});
                const QList<QStringList> rows = components::sheet::readSheet(path);
                db::Connection conn(cs);
                report(inv,
                       modules::init::importOpeningStock(conn, rows, inv.flag(QStringLiteral("skip-bad"))),
                       path);
            }};
}

Command exportStockCommand() {
    return {QStringLiteral("export-stock"),
            QStringLiteral("<数据库名> --user 用户名 --file 文件.xlsx|文件.csv"),
            QStringLiteral("把各仓库的期初库存写成 Excel 或 CSV 文件（可再导入）"),
            1,
            1,
            {QStringLiteral("user"), QStringLiteral("file")},
            {},
            [](Invocation &inv) {
                const QString path = fileOption(inv);
                const QString cs = loginAndCheck(inv, {});
                db::Connection conn(cs);
                const components::sheet::Sheet s = modules::init::exportOpeningStock(conn);
                components::sheet::writeSheet(s, path);
                inv.io->out << QStringLiteral("共 %1 行，已写入 %2。\n%1 rows written to %2.\n")
                                   .arg(s.rows.size())
                                   .arg(QDir::toNativeSeparators(path));
            }};
}

} // namespace

void addFileCommands(CommandTable &table) {
    table.add(importCommand(false));
    table.add(importCommand(true));
    table.add(exportCommand(false));
    table.add(exportCommand(true));
    table.add(importStockCommand());
    table.add(exportStockCommand());
}

} // namespace zostore::admin
