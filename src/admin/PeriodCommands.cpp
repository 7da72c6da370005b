// Month-end commands: cost calculation, closing and reopening, grant-checked for a user.
#include "admin/PeriodCommands.h"

#include "admin/BatchLogin.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "period/AccountProfile.h"
#include "period/CostCalculation.h"
#include "period/MonthEndClosing.h"
#include "period/PeriodProcedures.h"
#include "startup/LoginContext.h"
#include "stocklimit/GenMinMaxStock.h"

namespace zostore::admin {

namespace {

const QString CloseGrant = QStringLiteral("704");
const QString CostGrant = QStringLiteral("708");

// Logs the user in and checks the grant, then sets the login's month from the account set's stored one.
period::YearPeriod loginForPeriod(const Invocation &inv, const QString &grant) {
    db::Connection conn(loginAndCheck(inv, {grant}));
    const period::YearPeriod p = period::storedCurrentPeriod(conn);
    startup::loginContext().setCurrentPeriod(static_cast<qint16>(p.year), static_cast<qint16>(p.period));
    period::registerPeriodProcedures();
    return p;
}

QString styleName(int style) {
    switch (style) {
    case 1:
        return QStringLiteral("最后进价 / latest purchase price");
    case 2:
        return QStringLiteral("月加权平均价 / monthly weighted average");
    case 3:
        return QStringLiteral("手工指定成本 / price-style cost");
    default:
        return QStringLiteral("未定义 / undefined");
    }
}

QString monthText(period::YearPeriod p) { return QStringLiteral("%1年%2月").arg(p.year).arg(p.period); }
QString monthEnglish(period::YearPeriod p) {
    return QStringLiteral("%1-%2").arg(p.year).arg(p.period, 2, 10, QChar(u'0'));
}

} // namespace

Command costCommand() {
    return {QStringLiteral("cost"), QStringLiteral("<数据库名> --user 用户名"),
            QStringLiteral("按参数中的成本计算方式重新计算当前月份的成本"), 1, 1, {QStringLiteral("user")}, {},
            [](Invocation &inv) {
                const period::YearPeriod p = loginForPeriod(inv, CostGrant);
                const QString cs = startup::loginContext().cnstr();
                const int style = period::CostCalculation::readCostStyle(cs);
                if (style < 1 || style > 3)
                    throw Error(QStringLiteral("成本计算方式“%1”无效，未做任何修改。/ Cost style %1 is not 1, 2 or 3; "
                                               "nothing changed.")
                                    .arg(style));
                if (period::CostCalculation(cs, p).run(style) == period::CostCalculation::Outcome::NoPriceStyle)
                    throw Error(QStringLiteral("请先到参数设置中设置成本计价方式！/ CostStyle_PriceName names no "
                                               "price style; nothing changed."));
                inv.io->out << QStringLiteral("计算成本完成！%1，成本计算方式 %2：%3\nCosts of %4 calculated, style "
                                              "%2.\n")
                                   .arg(monthText(p))
                                   .arg(style)
                                   .arg(styleName(style), monthEnglish(p));
            }};
}

Command closeCommand() {
    return {QStringLiteral("close"),
            QStringLiteral("<数据库名> --user 用户名 [--auto-bill] [--stock-limit] [--ignore-missing-cost]"),
            QStringLiteral("月末结账：结转当前月份的库存余额到下月"), 1, 1, {QStringLiteral("user")},
            {QStringLiteral("auto-bill"), QStringLiteral("stock-limit"), QStringLiteral("ignore-missing-cost")},
            [](Invocation &inv) {
                const period::YearPeriod p = loginForPeriod(inv, CloseGrant);
                const auto &ctx = startup::loginContext();
                period::MonthEndClosing closing(ctx.cnstr(), p);
                // Asked before anything is written, since no one can answer the window's question here.
                if (closing.hasIssuesWithoutCost() && !inv.flag(QStringLiteral("ignore-missing-cost")))
                    throw Error(QStringLiteral("本期存在销售成本无法计算的商品，未结帐。请先计算成本，或加 "
                                               "--ignore-missing-cost 继续结帐。/ Issues of %1 have no cost; not "
                                               "closed. Calculate costs first or pass --ignore-missing-cost.")
                                    .arg(monthEnglish(p)));
                period::MonthEndClosing::Hooks hooks;
                hooks.status = [&](const QString &s) { inv.io->out << s << '\n'; };
                hooks.continueDespiteZeroCost = [] { return true; };
                hooks.generateStockLimits = [&](const QDate &from, const QDate &to, double maxF, double minF,
                                                double safeF, bool perStore) {
                    stocklimit::GenMinMaxStock(ctx.cnstr()).GenMaxMinStock(from, to, maxF, minF, safeF, perStore);
                };
                const bool autoBill = inv.flag(QStringLiteral("auto-bill"));
                const auto next = closing.close(inv.flag(QStringLiteral("stock-limit")), autoBill, ctx.userId(), hooks);
                inv.io->out << QStringLiteral("结账完成：%1已结账，%2当前月份：%3%4\nClosed %5; the current month "
                                              "is now %6.\n")
                                   .arg(monthText(p),
                                        inv.flag(QStringLiteral("stock-limit")) ? QStringLiteral("库存上下限已重算，")
                                                                                 : QString(),
                                        monthText(*next),
                                        autoBill ? QStringLiteral("（数量为零、金额不为零的商品已自动出库）")
                                                 : QString(),
                                        monthEnglish(p), monthEnglish(*next));
            }};
}

Command reopenCommand() {
    return {QStringLiteral("reopen"), QStringLiteral("<数据库名> --user 用户名"),
            QStringLiteral("反结账：撤销上一次结账，回到上个月"), 1, 1, {QStringLiteral("user")}, {},
            [](Invocation &inv) {
                const period::YearPeriod p = loginForPeriod(inv, CloseGrant);
                const auto prev = period::MonthEndClosing(startup::loginContext().cnstr(), p).reopen({});
                inv.io->out << QStringLiteral("反结账完成：当前月份：%1\nReopened %2; the current month is now %2.\n")
                                   .arg(monthText(prev), monthEnglish(prev));
            }};
}

} // namespace zostore::admin
