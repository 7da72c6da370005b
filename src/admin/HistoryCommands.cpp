// History clearing, backup and restore of an account set from a script.
#include "admin/HistoryCommands.h"

#include "accountdb/AccountBackup.h"
#include "accountdb/BackupCheck.h"
#include "accountdb/Catalogue.h"
#include "admin/AccountCommands.h"
#include "admin/BatchLogin.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "period/AccountProfile.h"
#include "period/HistoryClearing.h"
#include "period/PeriodProcedures.h"
#include "startup/LoginContext.h"

#include <QDir>
#include <QFileInfo>

namespace zostore::admin {

namespace {

// The clearing window's grant.
const QString ClearGrant = QStringLiteral("709");

QString accountName(const Invocation &inv) {
    return accountdb::Catalogue(inv.catalogue).nameOf(inv.args[0]);
}

int billCount(const QString &cnstr) {
    return db::Connection(cnstr).scalar(QStringLiteral("select count(*) from ICStockBill")).toInt();
}

period::YearPeriod currentPeriod(const QString &cnstr) {
    db::Connection conn(cnstr);
    return period::storedCurrentPeriod(conn);
}

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

Command clearHistoryCommand() {
    return {
        QStringLiteral("clear-history"),
        QStringLiteral(
            "<数据库名> --user 用户名 --before yyyy-MM-dd [--no-remain-stock] [--no-remain-balances] "
            "[--reinit] [--delete-unused-items] [--keep-completed-orders] [--backup]"),
        QStringLiteral("清除指定日期（不含）以前的历史数据；日期须在当前月份内，--backup 先备份帐套"),
        1,
        1,
        {QStringLiteral("user"), QStringLiteral("before")},
        {QStringLiteral("no-remain-stock"), QStringLiteral("no-remain-balances"), QStringLiteral("reinit"),
         QStringLiteral("delete-unused-items"), QStringLiteral("keep-completed-orders"),
         QStringLiteral("backup")},
        [](Invocation &inv) {
            const QString text = inv.option(QStringLiteral("before"));
            if (text.isEmpty())
                throw UsageError(
                    QStringLiteral("请用 --before 给出日期（yyyy-MM-dd），清除该日以前的数据。"));
            const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
            if (!day.isValid())
                throw UsageError(
                    QStringLiteral("--before 的日期“%1”无效，应为 yyyy-MM-dd。").arg(db::shortened(text)));
            period::ClearOptions o;
            o.remainDate = day;
            o.remainStock = !inv.flag(QStringLiteral("no-remain-stock"));
            o.remainWL = !inv.flag(QStringLiteral("no-remain-balances"));
            o.reinit = inv.flag(QStringLiteral("reinit"));
            o.delItem = inv.flag(QStringLiteral("delete-unused-items"));
            o.delCplOrder = !inv.flag(QStringLiteral("keep-completed-orders"));

            const QString cs = loginAndCheck(inv, {ClearGrant});
            // The window lets only a manager drop the kept balances.
            if ((!o.remainStock || !o.remainWL) && !startup::loginContext().isManager())
                throw Error(
                    QStringLiteral("%1（只有管理员能不保留库存余额或往来款余额）/ Access denied (only a "
                                   "manager may drop the kept balances).")
                        .arg(Error::accessDenied().description()));
            const period::YearPeriod cur = currentPeriod(cs);
            // Checked before the backup, so a refused day leaves no file behind either.
            if (!period::isInPeriod(day, cur))
                throw Error(
                    period::clearDateMessage(cur) +
                    QStringLiteral(" / The day must lie in the current month, %1-%2; nothing changed.")
                        .arg(cur.year)
                        .arg(cur.period, 2, 10, QChar(u'0')));
            if (inv.flag(QStringLiteral("backup"))) {
                const QString file = accountdb::backupAccount(cs, accountName(inv));
                inv.io->out << QStringLiteral("帐套已备份到：%1\nBacked up to %1.\n").arg(native(file));
            }
            period::registerPeriodProcedures();
            const int before = billCount(cs);
            period::clearHistory(cs, o);
            const int gone = before - billCount(cs);
            inv.io->out << QStringLiteral(
                               "删除数据成功！已清除 %1 以前的 %2 张单据%3。\nCleared %2 bills before "
                               "%1%4.\n")
                               .arg(day.toString(Qt::ISODate))
                               .arg(gone)
                               .arg(o.reinit ? QStringLiteral("，帐套已返回初始化状态") : QString(),
                                    o.reinit
                                        ? QStringLiteral("; the account set is back to its initial state")
                                        : QString());
        }};
}

Command backupCommand() {
    return {QStringLiteral("backup"),
            QStringLiteral("<数据库名> [--to 文件] [--user 管理员] [--password-stdin]\n"
                           "      不给 --to 时写到工作目录的 backup 文件夹；已有的文件不会被覆盖"),
            QStringLiteral("备份帐套（须以管理员登录）"),
            1,
            1,
            {QStringLiteral("user"), QStringLiteral("to")},
            {},
            [](Invocation &inv) {
                const QString cs = registeredAccount(inv, inv.args[0]);
                requireManager(inv, cs);
                const QString to = inv.option(QStringLiteral("to"));
                const QString file = accountdb::backupAccount(
                    cs, accountName(inv), to.isEmpty() ? QString() : QFileInfo(to).absoluteFilePath());
                inv.io->out << QStringLiteral("帐套已备份到：%1\nBacked up to %1.\n").arg(native(file))
                            << QStringLiteral(
                                   "校验文件：%1（恢复时核对，请和备份文件放在一起）\nDigest: %1 (checked on "
                                   "restore; keep it with the backup).\n")
                                   .arg(native(accountdb::digestFileOf(file)));
            }};
}

Command restoreCommand() {
    return {QStringLiteral("restore"),
            QStringLiteral(
                "<数据库名> --from 文件 [--user 管理员] [--password-stdin]\n"
                "      只接受本帐套自己的、与备份旁的校验文件相符的完好备份；帐套的全部数据换成备份中的数据"),
            QStringLiteral("从备份恢复帐套（须以管理员登录）"),
            1,
            1,
            {QStringLiteral("user"), QStringLiteral("from")},
            {},
            [](Invocation &inv) {
                const QString from = inv.option(QStringLiteral("from"));
                if (from.isEmpty())
                    throw UsageError(QStringLiteral("请用 --from 给出备份文件。"));
                const QString cs = registeredAccount(inv, inv.args[0]);
                requireManager(inv, cs);
                const QString file = QFileInfo(from).absoluteFilePath();
                const accountdb::BackupCheck check = accountdb::restoreAccount(cs, file);
                inv.io->out << QStringLiteral("帐套已从 %1 恢复。\nRestored from %1.\n").arg(native(file));
                if (check == accountdb::BackupCheck::IntegrityOnly)
                    inv.io->out << QStringLiteral(
                                       "注意：备份文件旁没有校验文件 "
                                       "%1（以前的版本不写），只检查了备份文件本身的完整性。\n"
                                       "Note: no digest file %1 beside the backup (older versions wrote "
                                       "none); only the backup's own integrity was checked.\n")
                                       .arg(native(accountdb::digestFileOf(file)));
            }};
}

} // namespace zostore::admin
