#include "admin/ReminderCommands.h"

#include "admin/BatchLogin.h"
#include "components/export/Sheet.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "reminders/PageSheet.h"
#include "reminders/ReminderPages.h"
#include "reminders/ShortageProcedure.h"
#include "startup/CheckGrant.h"
#include "startup/LoginContext.h"

#include <QDir>

namespace zostore::admin {

namespace {

// The grant that lets the reminder list open; purchase prices follow their own grant as on screen.
const QString ReminderGrant = QStringLiteral("723");
const QString PurchasePriceGrant = QStringLiteral("702");

} // namespace

Command remindersCommand() {
    return {
        QStringLiteral("reminders"),
        QStringLiteral("<数据库名> --user 用户名 --page 0..3 [--store 仓库名称] --xlsx 文件 | --csv 文件"),
        QStringLiteral("把每日提醒的一页写成 Excel 或 CSV 文件（与窗口中的行相同）"),
        1,
        1,
        {QStringLiteral("user"), QStringLiteral("page"), QStringLiteral("store"), QStringLiteral("xlsx"),
         QStringLiteral("csv")},
        {},
        [](Invocation &inv) {
            const bool xlsx = inv.options.contains(QStringLiteral("xlsx"));
            const bool csv = inv.options.contains(QStringLiteral("csv"));
            if (xlsx == csv)
                throw UsageError(QStringLiteral("请给出 --xlsx 文件 或 --csv 文件 之一。"));
            if (!inv.options.contains(QStringLiteral("page")))
                throw UsageError(QStringLiteral("请用 --page 指定提醒页（0 至 3）。"));
            const int page = inv.number(QStringLiteral("page"), -1);
            if (page < 0 || page >= reminders::PageCount)
                throw UsageError(QStringLiteral("--page 只能是 0 至 3。"));
            const QString path = QDir::current().absoluteFilePath(
                inv.option(xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv")));

            const QString cs = loginAndCheck(inv, {ReminderGrant});
            reminders::registerReminderProcedures();
            reminders::PageOptions o;
            o.mayViewPurPrice = startup::CheckGrant(PurchasePriceGrant, false);
            o.hiddenPriceStyles = reminders::hiddenPriceStylesOf(startup::loginContext().userId());
            o.storeName = inv.option(QStringLiteral("store"), reminders::AllStores);
            db::Connection conn(cs);
            conn.setTimeout(3000);
            const reminders::ReminderPage p = reminders::buildPage(conn, page, o);
            if (p.failure)
                throw Error(*p.failure);
            components::sheet::Sheet sheet = reminders::sheetFromPage(p);
            if (xlsx)
                components::sheet::writeXlsx(sheet, path);
            else
                components::sheet::writeCsv(sheet, path);
            const int rows = int(p.rows.size()) - (page == reminders::OverdueOrders ? 1 : 0);
            inv.io->out << QStringLiteral("“%1”共 %2 行，已写入 %3。\n\"%1\": %2 rows written to %3.\n")
                               .arg(reminders::pageCaption(page))
                               .arg(rows)
                               .arg(QDir::toNativeSeparators(path));
        }};
}

} // namespace zostore::admin
