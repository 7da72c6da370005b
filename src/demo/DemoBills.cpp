// The demo's stock bills, purchase orders and monthly opening balances, made day by day up to today.
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "demo/DemoContext.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <map>

namespace zostore::demo::shop {

namespace {

struct Line {
    int item; // index into Context::items
    double qty;
    double price;
    double unitCost;
    int preSend = 0;
};

bool isReceipt(int type) {
    return type == 12 || type == 15 || type == 16 || type == 24;
}
bool isIssue(int type) {
    return type == 14 || type == 22 || type == 25 || type == 26 || type == 33 || type == 99;
}

QString billPrefix(int type) {
    switch (type) {
    case 12:
        return QStringLiteral("CGRK");
    case 14:
        return QStringLiteral("CGTH");
    case 15:
        return QStringLiteral("QTRK");
    case 16:
        return QStringLiteral("PYRK");
    case 22:
        return QStringLiteral("XSCK");
    case 24:
        return QStringLiteral("XSTH");
    case 25:
        return QStringLiteral("QTCK");
    case 26:
        return QStringLiteral("PKCK");
    case 31:
        return QStringLiteral("CKDB");
    case 33:
        return QStringLiteral("ZPCK");
    default:
        return QStringLiteral("POS");
    }
}

class BillMaker {
public:
    explicit BillMaker(Context &ctx)
        : m_ctx(ctx),
          m_bill(ctx.conn.prepare(QStringLiteral(
              "insert into "
              "ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,FOrgaID,FOutStockID,"
              "FInStockID,FVipID,FEmpID,FBillerID,FRemark,FSumAmount,FSumCost,FSumProfit) "
              "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"))),
          m_entry(ctx.conn.prepare(QStringLiteral(
              "insert into "
              "ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,FAmount,FUnitCost,FCost,"
              "FPreSend) values(?,?,?,?,?,?,?,?,?,?)"))),
          m_openStore(ctx.conn.prepare(QStringLiteral(
              "insert into icstockbal(FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) values(?,?,?,?,?,?)"))) {
        const int n = ctx.items.size();
        for (int m = 0; m <= Months; ++m) {
            m_begQty[m].assign(n, 0.0);
            m_begBal[m].assign(n, 0.0);
        }
    }

    Context &ctx() { return m_ctx; }
    double stock(int store, int item) const {
        return m_stock.count({store, item}) ? m_stock.at({store, item}) : 0.0;
    }

    // Opening stock of the start month, spread over the real stores.
    void opening() {
        for (int i = 0; i < m_ctx.items.size(); ++i) {
            const Item &it = m_ctx.items[i];
            if (it.deleted)
                continue;
            const double qty = it.weighed ? m_ctx.range(20, 80) : it.exchange * m_ctx.range(2, 8);
            m_begQty[0][i] = qty;
            m_begBal[0][i] = round2(qty * it.purchase[0]);
            const double warehouse = it.weighed ? 0 : std::floor(qty / 2);
            m_stock[{1, i}] = warehouse;
            m_stock[{2, i}] = std::floor((qty - warehouse) / 2);
            m_stock[{3, i}] = qty - warehouse - m_stock[{2, i}];
            for (int store = 1; store <= 3; ++store)
                m_openStore.exec({m_ctx.start.year(), m_ctx.start.month(), it.id, store, m_stock[{store, i}],
                                  round2(m_stock[{store, i}] * it.purchase[0])});
        }
    }

    double costAt(int item, const QDate &d) const { return m_ctx.items[item].purchase[m_ctx.monthOf(d)]; }

    void add(int type, const QDate &date, const QList<Line> &lines, int orga = 0, int outStock = 0,
             int inStock = 0, int vip = 0, int emp = 0, const QString &remark = QString(),
             bool deleted = false) {
        if (lines.isEmpty())
            return;
        const int id = ++m_interId;
        const int month = m_ctx.monthOf(date);
        const QString no =
            billPrefix(type) + date.toString(QStringLiteral("yyyyMMdd")) +
            QStringLiteral("%1").arg(++m_seq[{type, date.toJulianDay()}], 3, 10, QLatin1Char('0'));
        double sumAmount = 0, sumCost = 0;
        int entryId = 0;
        for (const Line &l : lines) {
            const Item &it = m_ctx.items[l.item];
            const double amount = round2(l.qty * l.price), cost = round2(l.qty * l.unitCost);
            sumAmount += amount;
            sumCost += cost;
            m_entry.exec({id, ++entryId, it.id, l.qty, std::trunc(l.qty / it.exchange), l.price, amount,
                          l.unitCost, cost, l.preSend});
            if (deleted)
                continue;
            const double sign = isReceipt(type) ? 1 : isIssue(type) ? -1 : 0;
            m_begQty[month + 1][l.item] += sign * l.qty;
            m_begBal[month + 1][l.item] += sign * cost;
            if (type == 31) {
                m_stock[{outStock, l.item}] -= l.qty;
                m_stock[{inStock, l.item}] += l.qty;
            } else if (sign > 0) {
                m_stock[{inStock, l.item}] += l.qty;
            } else if (sign < 0) {
                m_stock[{outStock, l.item}] -= l.qty;
            }
        }
        auto opt = [](int v) { return v ? QVariant(v) : QVariant(); };
        m_bill.exec({id, no, QDateTime(date, QTime(0, 0)), date.year(), date.month(), type, deleted ? 1 : 0,
                     opt(orga), opt(outStock), opt(inStock), opt(vip), opt(emp), m_ctx.range(1, 2),
                     remark.isEmpty() ? QVariant() : remark, round2(sumAmount), round2(sumCost),
                     round2(sumAmount - sumCost)});
        m_ctx.summary.bills++;
        m_ctx.summary.billLines += lines.size();
    }

    // Up to n distinct items on hand in a store, at most `packages` packages of each.
    QList<Line> pick(int store, int n, int packages, double priceOf(const Item &), const QDate &date) {
        QList<Line> out;
        QList<int> used;
        for (int tries = 0; tries < n * 6 && out.size() < n; ++tries) {
            const int i = m_ctx.range(0, m_ctx.items.size() - 1);
            const Item &it = m_ctx.items[i];
            if (it.deleted || used.contains(i))
                continue;
            const double onHand = stock(store, i);
            double qty = it.weighed
                             ? std::round(m_ctx.real(0.3, 2.5 * packages) * 10) / 10
                             : (packages > 1 ? it.exchange * m_ctx.range(1, packages) : m_ctx.range(1, 3));
            qty = std::min(qty, onHand);
            if (qty <= 0)
                continue;
            used << i;
            out.append({i, qty, priceOf(it), costAt(i, date)});
        }
        return out;
    }

    // Purchases restock what runs low first, then a random assortment.
    QList<Line> purchase(int store, int n, const QDate &date) {
        QList<Line> out;
        QList<int> used;
        for (int tries = 0; tries < n * 8 && out.size() < n; ++tries) {
            const int i = m_ctx.range(0, m_ctx.items.size() - 1);
            const Item &it = m_ctx.items[i];
            if (it.deleted || used.contains(i))
                continue;
            if (stock(store, i) > (it.weighed ? 60 : it.exchange * 6) && tries < n * 4)
                continue;
            used << i;
            const double qty = it.weighed ? m_ctx.range(20, 60) : it.exchange * m_ctx.range(2, 6);
            const double price = costAt(i, date);
            out.append({i, qty, price, price});
        }
        return out;
    }

    void writeBalances() {
        auto bal = m_ctx.conn.prepare(QStringLiteral(
            "insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) values(?,?,?,?,?,?)"));
        for (int m = 0; m < Months; ++m) {
            const QDate month = m_ctx.start.addMonths(m);
            for (int i = 0; i < m_ctx.items.size(); ++i) {
                if (m > 0) {
                    m_begQty[m][i] = round4(m_begQty[m - 1][i] + m_begQty[m][i]);
                    m_begBal[m][i] = round2(m_begBal[m - 1][i] + m_begBal[m][i]);
                }
                const double q = m_begQty[m][i], b = m_begBal[m][i];
                bal.exec(
                    {m_ctx.items[i].id, month.year(), month.month(), q, q != 0 ? round4(b / q) : 0.0, b});
            }
        }
        // Per store, the months carry what the bills moved; the first month's split is rounded to the item.
        accountdb::alignStoreOpenings(m_ctx.conn, m_ctx.start.year(), m_ctx.start.month());
        for (int m = 1; m < Months; ++m) {
            const QDate from = m_ctx.start.addMonths(m - 1), to = m_ctx.start.addMonths(m);
            accountdb::computeStoreEnding(m_ctx.conn, QStringLiteral("zs_demo_ending"), from.year(), from.month());
            accountdb::writeStoreOpenings(m_ctx.conn, QStringLiteral("zs_demo_ending"), to.year(), to.month());
            m_ctx.conn.execute(QStringLiteral("drop table zs_demo_ending"));
        }
        // The cost price is what the closed months carried into the current one.
        auto cost = m_ctx.conn.prepare(QStringLiteral("update t_ICItem set FPjCost=? where FItemID=?"));
        for (int i = 0; i < m_ctx.items.size(); ++i)
            if (m_begQty[Months - 1][i] > 0)
                cost.exec({round4(m_begBal[Months - 1][i] / m_begQty[Months - 1][i]), m_ctx.items[i].id});
    }

private:
    Context &m_ctx;
    db::Connection::Statement m_bill, m_entry, m_openStore;
    int m_interId = 0;
    std::map<std::pair<int, qint64>, int> m_seq;
    std::map<std::pair<int, int>, double> m_stock;
    // [m] holds month m's opening; while bills are made, [m+1] gathers month m's movements.
    std::vector<double> m_begQty[Months + 1], m_begBal[Months + 1];
};

double retailOf(const Item &it) {
    return it.retail;
}
double wholesaleOf(const Item &it) {
    return it.wholesale;
}
double memberOf(const Item &it) {
    return it.member;
}
double nothing(const Item &) {
    return 0.0;
}

// One day of business. Types that are rare get a fixed early day in each month so every month has them.
void businessDay(BillMaker &b, const QDate &d) {
    Context &ctx = b.ctx();
    const int dom = d.day();
    const bool lastAvailable = d == ctx.today || d.addDays(1).month() != d.month();
    auto slot = [&](int day) {
        return dom == day ||
               (lastAvailable && dom < day && d.month() == ctx.today.month() && d.year() == ctx.today.year());
    };
    const bool currentMonth = ctx.monthOf(d) == Months - 1;

    if (dom == 1 || ctx.chance(0.4)) {
        const int store = ctx.chance(0.7) ? 1 : ctx.range(2, 3);
        auto lines = b.purchase(store, ctx.range(6, 14), d);
        // Each delivery is invoiced a little off the month's price, by day, item and store.
        for (Line &l : lines)
            l.price = l.unitCost =
                round2(l.price * (1 + ((dom * 7 + l.item * 13 + store * 5) % 9 - 4) / 100.0));
        b.add(12, d, lines, ctx.range(1, ctx.suppliers), 0, store, 0, 0, QString(), dom == 20);
    }
    if (slot(1) || ctx.chance(0.3)) {
        const int to = ctx.chance(0.15) ? ctx.virtualStore : ctx.range(2, 3);
        auto lines = b.pick(1, ctx.range(4, 9), 2, nothing, d);
        for (Line &l : lines)
            l.price = l.unitCost; // transfers are valued at cost
        b.add(31, d, lines, 0, 1, to);
    }
    if (slot(1) || ctx.chance(0.55)) {
        const int store = ctx.chance(0.7) ? 1 : 2;
        auto lines = b.pick(store, ctx.range(3, 9), 3, wholesaleOf, d);
        const bool advance = ctx.chance(0.08);
        for (Line &l : lines) {
            if (ctx.chance(0.06)) // sold under cost to clear stock
                l.price = round2(l.unitCost * 0.92);
            l.preSend = advance ? 1 : 0;
        }
        b.add(22, d, lines, ctx.range(1, ctx.customers), store, 0, 0, ctx.range(1, ctx.employees),
              advance ? QStringLiteral("先发货后开票") : QString(), dom == 18 && ctx.chance(0.5));
    }
    const int counterSales = ctx.range(5, 9);
    for (int s = 0; s < counterSales; ++s) {
        const bool online = s == 0 && ctx.chance(0.3);
        const int store = online ? ctx.virtualStore : ctx.range(2, 3);
        const int vip = ctx.chance(0.4) ? ctx.range(1, ctx.members) : 0;
        b.add(99, d, b.pick(store, ctx.range(1, 5), 1, vip ? memberOf : retailOf, d), 0, store, 0, vip,
              ctx.range(1, ctx.employees));
    }
    if (d == ctx.today)
        for (int vip : ctx.birthdayMembers)
            b.add(99, d, b.pick(2, 2, 1, memberOf, d), 0, 2, 0, vip, 1, QStringLiteral("会员生日优惠"));

    if (slot(2) || ctx.chance(0.04)) {
        auto lines = b.pick(1, ctx.range(1, 3), 1, nothing, d);
        for (Line &l : lines)
            l.price = l.unitCost; // back to the supplier at the price paid
        b.add(14, d, lines, ctx.range(1, ctx.suppliers), 1, 0, 0, 0, QStringLiteral("质量问题退货"));
    }
    if (slot(3) || ctx.chance(0.04)) {
        auto lines = b.purchase(1, ctx.range(1, 3), d);
        b.add(15, d, lines, 0, 0, 1, 0, 0, QStringLiteral("供应商赠品入库"));
    }
    if (slot(4) || ctx.chance(0.02)) {
        const int store = ctx.range(2, 3);
        auto lines = b.purchase(store, ctx.range(1, 2), d);
        for (Line &l : lines)
            l.qty = std::max(1.0, std::floor(l.qty / 4));
        b.add(16, d, lines, 0, 0, store, 0, 0, QStringLiteral("盘盈入库"));
    }
    if (slot(2) || ctx.chance(0.06)) {
        auto lines = b.pick(1, ctx.range(1, 3), 1, wholesaleOf, d);
        b.add(24, d, lines, ctx.range(1, ctx.customers), 0, 1, 0, ctx.range(1, ctx.employees),
              QStringLiteral("客户退货"));
    }
    if (slot(3) || ctx.chance(0.04)) {
        const int store = ctx.range(2, 3);
        auto lines = b.pick(store, ctx.range(1, 3), 1, nothing, d);
        // A handful of this month's issues still wait for their cost.
        const bool uncosted = currentMonth && slot(3);
        for (Line &l : lines) {
            if (uncosted)
                l.unitCost = 0;
            l.price = l.unitCost;
        }
        b.add(25, d, lines, 0, store, 0, 0, 0, QStringLiteral("门店领用"));
    }
    if (slot(4) || ctx.chance(0.02)) {
        auto lines = b.pick(3, ctx.range(1, 2), 1, nothing, d);
        for (Line &l : lines)
            l.price = l.unitCost;
        b.add(26, d, lines, 0, 3, 0, 0, 0, QStringLiteral("盘亏出库"));
    }
    if (slot(5) || ctx.chance(0.03))
        b.add(33, d, b.pick(1, ctx.range(1, 2), 1, nothing, d), ctx.range(1, ctx.customers), 1, 0, 0,
              ctx.range(1, ctx.employees), QStringLiteral("大客户赠送"));
}

void purchaseOrders(Context &ctx) {
    auto order = ctx.conn.prepare(QStringLiteral(
        "insert into ICOrder(FInterID,FBillNo,FDate,FOrgaID,FSalerID,FRemark) values(?,?,?,?,?,?)"));
    auto entry = ctx.conn.prepare(QStringLiteral(
        "insert into ICOrderEntry(FInterID,FEntryID,FItemID,FQty,FCompleteQty,FPrice,FJhDate,FCancelAction) "
        "values(?,?,?,?,?,?,?,?)"));
    int id = 0;
    for (QDate d = ctx.start; d <= ctx.today; d = d.addDays(ctx.range(2, 4))) {
        ++id;
        order.exec({id,
                    QStringLiteral("CGDD%1%2")
                        .arg(d.toString(QStringLiteral("yyyyMMdd")))
                        .arg(id, 3, 10, QLatin1Char('0')),
                    QDateTime(d, QTime(0, 0)), ctx.range(1, ctx.suppliers),
                    ctx.chance(0.85) ? QVariant(ctx.range(1, ctx.employees)) : QVariant(), QVariant()});
        const int lines = ctx.range(3, 8);
        for (int e = 1; e <= lines; ++e) {
            const int i = ctx.range(0, ctx.items.size() - 1);
            const Item &it = ctx.items[i];
            const double qty = it.weighed ? ctx.range(20, 80) : it.exchange * ctx.range(2, 10);
            const QDate due = d.addDays(ctx.range(3, 12));
            double done = 0;
            if (due < ctx.today.addDays(-5)) {
                const double r = ctx.real(0, 1);
                done = r < 0.7 ? qty : r < 0.9 ? std::floor(qty * ctx.real(0.3, 0.8)) : 0;
            } else if (due < ctx.today && ctx.chance(0.4)) {
                done = std::floor(qty / 2);
            }
            entry.exec({id, e, it.id, qty, done, it.purchase[std::max(0, ctx.monthOf(d))],
                        QDateTime(due, QTime(0, 0)), ctx.chance(0.05) ? 1 : 0});
        }
    }
    ctx.summary.orders = id;
}

} // namespace

void loadBills(Context &ctx) {
    BillMaker b(ctx);
    b.opening();
    for (QDate d = ctx.start; d <= ctx.today; d = d.addDays(1))
        businessDay(b, d);
    b.writeBalances();
    purchaseOrders(ctx);
}

} // namespace zostore::demo::shop
