#include "modules/bills/BillStore.h"

#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"

#include <QHash>
#include <QSet>
#include <cmath>

namespace zostore::modules::bills {

namespace {

const QList<BillKind> &kinds() {
    static const QList<BillKind> all{
        {11, QStringLiteral("采购订货单"), QStringLiteral("CGDD"), true, true, false, false, true},
        {12, QStringLiteral("采购入库单"), QStringLiteral("CGRK"), false, true, true, false, true},
        {14, QStringLiteral("采购退货单"), QStringLiteral("CGTH"), false, true, false, true, true},
        {15, QStringLiteral("其他入库单"), QStringLiteral("QTRK"), false, false, true, false, false},
        {25, QStringLiteral("其他出库单"), QStringLiteral("QTCK"), false, false, false, true, false},
        {31, QStringLiteral("仓库调拨单"), QStringLiteral("CKDB"), false, false, true, true, false},
        {9, QStringLiteral("调拨预订单"), QStringLiteral("DBYD"), false, false, true, true, false},
        {99, QStringLiteral("前台销售单"), QString(), false, false, false, true, false, true},
    };
    return all;
}

double round2(double v) {
    return std::round(v * 100.0) / 100.0;
}
double round4(double v) {
    return std::round(v * 10000.0) / 10000.0;
}

// A line's item as the bill query joins it; returns the item's units per package, never below 1.
double readLineItem(const db::Recordset &rs, BillLine &l) {
    l.itemId = rs.toInt(QStringLiteral("FItemID"));
    l.number = rs.text(QStringLiteral("FNumber"));
    l.name = rs.text(QStringLiteral("FName"));
    l.model = rs.text(QStringLiteral("FModel"));
    l.unit = rs.text(QStringLiteral("FUnit"));
    const double exchange = rs.toDouble(QStringLiteral("FExchange"));
    return exchange > 0 ? exchange : 1;
}

QString qtyText(double v) {
    return QString::number(round4(v), 'g', 12);
}

QVariant dateValue(const QDate &d) {
    return d;
}

// "?,?,?" for n bound values.
QString marks(qsizetype n) {
    QString s;
    for (qsizetype i = 0; i < n; ++i)
        s += i ? QStringLiteral(",?") : QStringLiteral("?");
    return s;
}

QList<int> itemIds(const Bill &bill) {
    QList<int> ids;
    QSet<int> seen;
    for (const BillLine &l : bill.lines)
        if (!seen.contains(l.itemId)) {
            seen.insert(l.itemId);
            ids << l.itemId;
        }
    return ids;
}

QVariantList asParams(const QList<int> &ids) {
    QVariantList p;
    for (int id : ids)
        p << id;
    return p;
}

} // namespace

const BillKind *billKind(int code) {
    for (const BillKind &k : kinds())
        if (k.code == code)
            return &k;
    return nullptr;
}

QList<int> billKindCodes() {
    QList<int> codes;
    for (const BillKind &k : kinds())
        codes << k.code;
    return codes;
}

double Bill::totalQty() const {
    double s = 0;
    for (const BillLine &l : lines)
        s += l.qty;
    return s;
}

double Bill::totalAmount() const {
    double s = 0;
    for (const BillLine &l : lines)
        s += l.amount;
    return round2(s);
}

BillStore::BillStore(db::Connection &conn, int userId) : m_conn(conn), m_userId(userId) {}

int BillStore::currentYear() {
    return accountdb::readProfile(m_conn, QStringLiteral("CurrentYear")).toInt();
}
int BillStore::currentPeriod() {
    return accountdb::readProfile(m_conn, QStringLiteral("CurrentPeriod")).toInt();
}

std::optional<BillStore::ItemFacts> BillStore::itemFacts(int itemId) {
    auto rs = m_conn.open(QStringLiteral("select FNumber,FName,FModel,FUnit,FExchange,FPurPrice,FPjCost,FDel "
                                         "from t_ICItem where FItemID=?"),
                          {itemId});
    if (rs.eof())
        return std::nullopt;
    ItemFacts f;
    f.number = rs.text(QStringLiteral("FNumber"));
    f.name = rs.text(QStringLiteral("FName"));
    f.model = rs.text(QStringLiteral("FModel"));
    f.unit = rs.text(QStringLiteral("FUnit"));
    f.exchange = rs.toDouble(QStringLiteral("FExchange"));
    if (f.exchange <= 0)
        f.exchange = 1;
    f.purPrice = rs.toDouble(QStringLiteral("FPurPrice"));
    f.cost = rs.toDouble(QStringLiteral("FPjCost"));
    f.deleted = rs.toInt(QStringLiteral("FDel")) != 0;
    return f;
}

double BillStore::startPrice(int kind, int itemId) {
    const BillKind *k = billKind(kind);
    if (k && k->purchasePrice) {
        // The item's lines first, by their index; ordering the join by date lets a planner walk every bill.
        QString lastDate;
        int lastId = 0;
        double lastPrice = 0;
        for (auto rs = m_conn.open(
                 QStringLiteral("select t1.FDate,t1.FInterID,t2.FPrice from ICStockBillEntry t2 "
                                "join ICStockBill t1 on t1.FInterID=t2.FInterID where t2.FItemID=? "
                                "and t1.FTranType=12 and t1.FDeleted=0 and t2.FQty>0"),
                 {itemId}, db::Cursor::Forward);
             !rs.eof(); rs.moveNext()) {
            const QString date = rs.text(QStringLiteral("FDate"));
            const int id = rs.toInt(QStringLiteral("FInterID"));
            if (lastId == 0 || date > lastDate || (date == lastDate && id > lastId)) {
                lastDate = date;
                lastId = id;
                lastPrice = rs.toDouble(QStringLiteral("FPrice"));
            }
        }
        if (lastId != 0)
            return lastPrice;
    }
    const auto f = itemFacts(itemId);
    if (!f)
        return 0;
    return k && k->purchasePrice ? f->purPrice : f->cost;
}

Bill BillStore::load(int kind, int interId) {
    const BillKind *k = billKind(kind);
    if (!k)
        throw Error(QStringLiteral("单据类型 %1 不是本组件管理的单据。").arg(kind));
    Bill b;
    b.kind = kind;
    b.interId = interId;
    const int year = currentYear(), period = currentPeriod();
    if (k->order) {
        auto h = m_conn.open(QStringLiteral("select FBillNo,FDate,FOrgaID,FSalerID,FRemark from ICOrder "
                                            "where FInterID=? and isnull(FDeleted,0)=0"),
                             {interId});
        if (h.eof())
            throw Error(QStringLiteral("这张%1已经不存在或已被删除。").arg(k->name));
        b.billNo = h.text(QStringLiteral("FBillNo"));
        b.date = h.toDate(QStringLiteral("FDate"));
        b.orgaId = h.toInt(QStringLiteral("FOrgaID"));
        b.empId = h.toInt(QStringLiteral("FSalerID"));
        b.remark = h.text(QStringLiteral("FRemark"));
        b.year = b.date.year();
        b.period = b.date.month();
        for (auto rs = m_conn.open(
                 QStringLiteral(
                     "select e.FEntryID,e.FItemID,e.FQty,e.FPrice,e.FJhDate,i.FNumber,i.FName,i.FModel,"
                     "i.FUnit,i.FExchange from ICOrderEntry e left join t_ICItem i on i.FItemID=e.FItemID "
                     "where e.FInterID=? order by e.FEntryID"),
                 {interId});
             !rs.eof(); rs.moveNext()) {
            BillLine l;
            l.exchange = readLineItem(rs, l);
            l.qty = rs.toDouble(QStringLiteral("FQty"));
            l.mainQty = round4(l.qty / l.exchange);
            l.price = rs.toDouble(QStringLiteral("FPrice"));
            l.amount = round2(l.qty * l.price);
            l.due = rs.toDate(QStringLiteral("FJhDate"));
            b.lines << l;
        }
    } else {
        auto h = m_conn.open(
            QStringLiteral("select FBillNo,FDate,FYear,FPeriod,FOrgaID,FInStockID,FOutStockID,FEmpID,"
                           "FRemark from ICStockBill where FInterID=? and FTranType=? and FDeleted=0"),
            {interId, kind});
        if (h.eof())
            throw Error(QStringLiteral("这张%1已经不存在或已被删除。").arg(k->name));
        b.billNo = h.text(QStringLiteral("FBillNo"));
        b.date = h.toDate(QStringLiteral("FDate"));
        b.year = h.toInt(QStringLiteral("FYear"));
        b.period = h.toInt(QStringLiteral("FPeriod"));
        b.orgaId = h.toInt(QStringLiteral("FOrgaID"));
        b.inStockId = h.toInt(QStringLiteral("FInStockID"));
        b.outStockId = h.toInt(QStringLiteral("FOutStockID"));
        b.empId = h.toInt(QStringLiteral("FEmpID"));
        b.remark = h.text(QStringLiteral("FRemark"));
        for (auto rs = m_conn.open(
                 QStringLiteral(
                     "select "
                     "e.FItemID,e.FQty,e.FMainQty,e.FPrice,e.FAmount,e.FSourceInterID,e.FSourceEntryID,"
                     "i.FNumber,i.FName,i.FModel,i.FUnit,i.FExchange from ICStockBillEntry e "
                     "left join t_ICItem i on i.FItemID=e.FItemID where e.FInterID=? order by e.FEntryID"),
                 {interId});
             !rs.eof(); rs.moveNext()) {
            BillLine l;
            const double itemExchange = readLineItem(rs, l);
            l.qty = rs.toDouble(QStringLiteral("FQty"));
            l.mainQty = rs.toDouble(QStringLiteral("FMainQty"));
            l.exchange = l.mainQty != 0 ? round4(l.qty / l.mainQty) : itemExchange;
            l.price = rs.toDouble(QStringLiteral("FPrice"));
            l.amount = rs.toDouble(QStringLiteral("FAmount"));
            l.sourceInterId = rs.toInt(QStringLiteral("FSourceInterID"));
            l.sourceEntryId = rs.toInt(QStringLiteral("FSourceEntryID"));
            b.lines << l;
        }
    }
    b.readOnly = k->viewOnly || b.year * 100 + b.period < year * 100 + period;
    return b;
}

// Open quantity of transfer-request lines: what the transfers made from them have not moved yet.
static QString requestOpenSql(const QString &condition) {
    return QStringLiteral("select e.FEntryID,e.FItemID,e.FPrice,e.FQty-isnull((select sum(x.FQty) from "
                          "ICStockBillEntry x "
                          "join ICStockBill b on b.FInterID=x.FInterID where b.FDeleted=0 and b.FTranType=31 "
                          "and x.FSourceInterID=e.FInterID and x.FSourceEntryID=e.FEntryID),0) as FOpen "
                          "from ICStockBillEntry e where ") +
           condition + QStringLiteral(" order by e.FEntryID");
}

Bill BillStore::transferFromRequest(int requestInterId) {
    const Bill request = load(9, requestInterId);
    Bill t;
    t.kind = 31;
    t.outStockId = request.outStockId;
    t.inStockId = request.inStockId;
    t.empId = request.empId;
    t.remark = QStringLiteral("调拨预订单 ") + request.billNo;
    auto rs = m_conn.open(requestOpenSql(QStringLiteral("e.FInterID=?")), {requestInterId});
    for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
        const double open = round4(rs.toDouble(QStringLiteral("FOpen")));
        if (open <= 0)
            continue;
        BillLine l = request.lines.value(i);
        l.qty = open;
        l.mainQty = round4(open / l.exchange);
        l.amount = round2(open * l.price);
        l.sourceInterId = requestInterId;
        l.sourceEntryId = rs.toInt(QStringLiteral("FEntryID"));
        t.lines << l;
    }
    if (t.lines.isEmpty())
        throw Error(QStringLiteral("调拨预订单 %1 已经全部调拨。").arg(request.billNo));
    return t;
}

Bill BillStore::receiptFromOrder(int orderInterId) {
    Bill order = load(11, orderInterId);
    Bill r;
    r.kind = 12;
    r.orgaId = order.orgaId;
    r.empId = order.empId;
    r.remark = QStringLiteral("订货单 ") + order.billNo;
    for (auto rs =
             m_conn.open(QStringLiteral("select FEntryID,FItemID,FQty-isnull(FCompleteQty,0) as FOpen,FPrice "
                                        "from ICOrderEntry where FInterID=? and isnull(FCancelAction,0)=0 "
                                        "and FQty-isnull(FCompleteQty,0)>0 order by FEntryID"),
                         {orderInterId});
         !rs.eof(); rs.moveNext()) {
        const int entry = rs.toInt(QStringLiteral("FEntryID"));
        BillLine l;
        for (const BillLine &o : order.lines)
            if (o.itemId == rs.toInt(QStringLiteral("FItemID")))
                l = o;
        l.itemId = rs.toInt(QStringLiteral("FItemID"));
        l.qty = round4(rs.toDouble(QStringLiteral("FOpen")));
        l.mainQty = round4(l.qty / l.exchange);
        l.price = rs.toDouble(QStringLiteral("FPrice"));
        l.amount = round2(l.qty * l.price);
        l.due = QDate();
        l.sourceInterId = orderInterId;
        l.sourceEntryId = entry;
        r.lines << l;
    }
    if (r.lines.isEmpty())
        throw Error(QStringLiteral("订货单 %1 已经全部到货，没有未入库的商品。").arg(order.billNo));
    return r;
}

void BillStore::check(const BillKind &k, const Bill &bill) {
    if (k.supplier && bill.orgaId <= 0)
        throw Error(QStringLiteral("请选择供应商。"));
    if (k.inStore && k.outStore) {
        if (bill.outStockId <= 0)
            throw Error(QStringLiteral("请选择调出仓库。"));
        if (bill.inStockId <= 0)
            throw Error(QStringLiteral("请选择调入仓库。"));
        if (bill.inStockId == bill.outStockId)
            throw Error(QStringLiteral("调出仓库和调入仓库不能相同。"));
    } else if ((k.inStore && bill.inStockId <= 0) || (k.outStore && bill.outStockId <= 0)) {
        throw Error(QStringLiteral("请选择仓库。"));
    }
    const int year = currentYear(), period = currentPeriod();
    if (!bill.date.isValid() || bill.date.year() != year || bill.date.month() != period)
        throw Error(QStringLiteral("单据日期 %1 不在当前会计期间（%2年%3月）内。")
                        .arg(bill.date.toString(QStringLiteral("yyyy-MM-dd")))
                        .arg(year)
                        .arg(period));
    if (bill.lines.isEmpty())
        throw Error(QStringLiteral("单据上没有商品，不能保存。"));
    for (qsizetype i = 0; i < bill.lines.size(); ++i) {
        const BillLine &l = bill.lines[i];
        if (l.itemId <= 0)
            throw Error(QStringLiteral("第 %1 行没有商品。").arg(i + 1));
        if (!std::isfinite(l.qty) || l.qty <= 0)
            throw Error(QStringLiteral("第 %1 行（%2）的数量必须是大于零的数字。").arg(i + 1).arg(l.name));
        if (!std::isfinite(l.price) || l.price < 0)
            throw Error(QStringLiteral("第 %1 行（%2）的单价必须是不小于零的数字。").arg(i + 1).arg(l.name));
        if (k.order && !l.due.isValid())
            throw Error(QStringLiteral("第 %1 行（%2）没有交货日期。").arg(i + 1).arg(l.name));
    }
    const QList<int> ids = itemIds(bill);
    QHash<int, bool> deleted;
    for (auto rs = m_conn.open(
             QStringLiteral("select FItemID,FDel from t_ICItem where FItemID in (%1)").arg(marks(ids.size())),
             asParams(ids));
         !rs.eof(); rs.moveNext())
        deleted.insert(rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FDel")) != 0);
    for (qsizetype i = 0; i < bill.lines.size(); ++i) {
        const BillLine &l = bill.lines[i];
        if (deleted.value(l.itemId, true))
            throw Error(QStringLiteral("第 %1 行的商品“%2”已经删除，不能再开单。").arg(i + 1).arg(l.name));
    }
}

void BillStore::requireOpen(const BillKind &k, int interId) {
    int year = 0, period = 0;
    if (k.order) {
        auto rs = m_conn.open(
            QStringLiteral("select FDate from ICOrder where FInterID=? and isnull(FDeleted,0)=0"), {interId});
        if (rs.eof())
            throw Error(QStringLiteral("这张%1已经不存在或已被删除。").arg(k.name));
        year = rs.toDate(QStringLiteral("FDate")).year();
        period = rs.toDate(QStringLiteral("FDate")).month();
        if (db::Recordset::doubleOf(m_conn.scalar(
                QStringLiteral(
                    "select count(*) from ICOrderEntry where FInterID=? and isnull(FCompleteQty,0)<>0"),
                {interId})) > 0)
            throw Error(QStringLiteral("这张订货单已经有商品入库，不能再修改或删除。"));
    } else {
        auto rs = m_conn.open(
            QStringLiteral(
                "select FYear,FPeriod from ICStockBill where FInterID=? and FTranType=? and FDeleted=0"),
            {interId, k.code});
        if (rs.eof())
            throw Error(QStringLiteral("这张%1已经不存在或已被删除。").arg(k.name));
        year = rs.toInt(QStringLiteral("FYear"));
        period = rs.toInt(QStringLiteral("FPeriod"));
        if (k.code == 9 &&
            db::Recordset::doubleOf(m_conn.scalar(
                QStringLiteral(
                    "select count(*) from ICStockBillEntry x join ICStockBill b on "
                    "b.FInterID=x.FInterID where b.FDeleted=0 and b.FTranType=31 and x.FSourceInterID=?"),
                {interId})) > 0)
            throw Error(QStringLiteral("这张调拨预订单已经有商品调拨，不能再修改或删除。"));
    }
    if (year != currentYear() || period != currentPeriod())
        throw Error(QStringLiteral("%1年%2月已经结帐，这个月的单据不能再修改或删除。").arg(year).arg(period));
}

QString BillStore::drawNumber(const BillKind &k, const Bill &bill) {
    QString prefix = k.prefix;
    if (k.code == 31 && accountdb::readProfile(m_conn, QStringLiteral("DbdDiffBillNoForInStock")).trimmed() ==
                            QLatin1String("1")) {
        const QString store =
            m_conn.scalar(QStringLiteral("select FNumber from t_Stock where FItemID=?"), {bill.outStockId})
                .toString();
        prefix += store + QLatin1Char('-');
    }
    prefix += bill.date.toString(QStringLiteral("yyyyMM")) + QLatin1Char('-');
    const QString table = k.order ? QStringLiteral("ICOrder") : QStringLiteral("ICStockBill");
    const QString typed = k.order ? QString() : QStringLiteral(" and FTranType=%1").arg(k.code);
    int last = 0;
    // Deleted bills keep their numbers: a number once printed is never given again.
    for (auto rs =
             m_conn.open(QStringLiteral("select FBillNo from %1 where FBillNo like ?%2").arg(table, typed),
                         {prefix + QLatin1Char('%')});
         !rs.eof(); rs.moveNext()) {
        const QString no = rs.text(QStringLiteral("FBillNo"));
        if (!no.startsWith(prefix))
            continue;
        bool ok = false;
        const QString tail = no.mid(prefix.size());
        const int n = tail.size() >= 4 ? tail.toInt(&ok) : 0;
        if (ok)
            last = std::max(last, n);
    }
    return prefix + QStringLiteral("%1").arg(last + 1, 4, 10, QLatin1Char('0'));
}

QString BillStore::nextNumber(const Bill &bill) {
    const BillKind *k = billKind(bill.kind);
    if (!k || !bill.date.isValid())
        return QString();
    return drawNumber(*k, bill);
}

void BillStore::applyStock(int interId, bool add) {
    m_conn.execute(
        QStringLiteral("insert into ICInventory (FStockID,FItemID,FQty) "
                       "select m.FStockID,m.FItemID,%1sum(m.FQty) from (%2) m group by m.FStockID,m.FItemID "
                       "on conflict(FStockID,FItemID) do update set FQty=ICInventory.FQty+excluded.FQty")
            .arg(add ? QString() : QStringLiteral("-"),
                 accountdb::storeMovementLinesSql(QStringLiteral("t1.FInterID=?"))),
        {interId, interId});
}

void BillStore::applyOrderCompletion(int interId, bool add) {
    const QString match = QStringLiteral(
        "from ICStockBillEntry e where e.FInterID=? and e.FSourceInterID=ICOrderEntry.FInterID "
        "and e.FSourceEntryID=ICOrderEntry.FEntryID");
    m_conn.execute(
        QStringLiteral("update ICOrderEntry set FCompleteQty=isnull(FCompleteQty,0)%1(select sum(e.FQty) %2) "
                       "where exists (select 1 %2)")
            .arg(add ? QStringLiteral("+") : QStringLiteral("-"), match),
        {interId, interId});
}

QList<Shortage> BillStore::shortages(const BillKind &k, const Bill &bill) {
    QList<Shortage> out;
    if (!k.outStore || k.code == 9)
        return out;
    QHash<int, double> need;
    QList<int> order;
    for (const BillLine &l : bill.lines) {
        if (!need.contains(l.itemId))
            order << l.itemId;
        need[l.itemId] += l.qty;
    }
    QHash<int, double> have;
    QVariantList params{bill.outStockId};
    params << asParams(order);
    for (auto rs = m_conn.open(
             QStringLiteral("select FItemID,FQty from ICInventory where FStockID=? and FItemID in (%1)")
                 .arg(marks(order.size())),
             params);
         !rs.eof(); rs.moveNext())
        have.insert(rs.toInt(QStringLiteral("FItemID")), rs.toDouble(QStringLiteral("FQty")));
    const QString store =
        m_conn.scalar(QStringLiteral("select FName from t_Stock where FItemID=?"), {bill.outStockId})
            .toString();
    for (int id : order)
        if (have.value(id) + 0.00005 < need.value(id)) {
            Shortage s;
            for (const BillLine &l : bill.lines)
                if (l.itemId == id) {
                    s.number = l.number;
                    s.name = l.name;
                    break;
                }
            s.store = store;
            s.onHand = have.value(id);
            s.needed = need.value(id);
            out << s;
        }
    return out;
}

QList<OverReceipt> BillStore::overReceipts(const Bill &bill) {
    QList<OverReceipt> out;
    if (bill.kind != 12 && bill.kind != 31)
        return out;
    QHash<QPair<int, int>, double> received;
    for (const BillLine &l : bill.lines)
        if (l.sourceInterId > 0)
            received[{l.sourceInterId, l.sourceEntryId}] += l.qty;
    for (auto it = received.cbegin(); it != received.cend(); ++it) {
        auto rs =
            bill.kind == 12
                ? m_conn.open(QStringLiteral("select FQty-isnull(FCompleteQty,0) as FOpen from ICOrderEntry "
                                             "where FInterID=? and FEntryID=?"),
                              {it.key().first, it.key().second})
                : m_conn.open(requestOpenSql(QStringLiteral("e.FInterID=? and e.FEntryID=?")),
                              {it.key().first, it.key().second});
        const double open = rs.eof() ? 0 : rs.toDouble(QStringLiteral("FOpen"));
        if (it.value() > open + 0.00005) {
            OverReceipt o;
            for (const BillLine &l : bill.lines)
                if (l.sourceInterId == it.key().first && l.sourceEntryId == it.key().second) {
                    o.number = l.number;
                    o.name = l.name;
                    break;
                }
            o.open = open;
            o.received = it.value();
            out << o;
        }
    }
    return out;
}

void BillStore::checkReturns(const Bill &bill) {
    if (bill.kind != 14)
        return;
    QHash<int, double> returning;
    for (const BillLine &l : bill.lines)
        returning[l.itemId] += l.qty;
    const QList<int> ids = itemIds(bill);
    QVariantList params{bill.orgaId, bill.interId};
    params << asParams(ids);
    QHash<int, double> bought;
    for (auto rs = m_conn.open(
             QStringLiteral(
                 "select t2.FItemID,sum(case when t1.FTranType=12 then t2.FQty else -t2.FQty end) as FQty "
                 "from ICStockBill t1 join ICStockBillEntry t2 on t1.FInterID=t2.FInterID "
                 "where t1.FDeleted=0 and t1.FTranType in (12,14) and t1.FOrgaID=? and t1.FInterID<>? "
                 "and t2.FItemID in (%1) group by t2.FItemID")
                 .arg(marks(ids.size())),
             params);
         !rs.eof(); rs.moveNext())
        bought.insert(rs.toInt(QStringLiteral("FItemID")), rs.toDouble(QStringLiteral("FQty")));
    for (const BillLine &l : bill.lines)
        if (returning.value(l.itemId) > bought.value(l.itemId) + 0.00005)
            throw Error(QStringLiteral("商品“%1”退货 %2，超过从这个供应商购进未退的数量 %3。")
                            .arg(l.name, qtyText(returning.value(l.itemId)),
                                 qtyText(std::max(0.0, bought.value(l.itemId)))));
}

SaveOutcome BillStore::save(Bill &bill, bool confirmed) {
    const BillKind *k = billKind(bill.kind);
    if (!k)
        throw Error(QStringLiteral("单据类型 %1 不是本组件管理的单据。").arg(bill.kind));
    if (k->viewOnly)
        throw Error(QStringLiteral("%1只能查看，不能在这里修改。").arg(k->name));
    for (BillLine &l : bill.lines) {
        l.qty = round4(l.qty);
        l.mainQty = round4(l.qty / (l.exchange > 0 ? l.exchange : 1));
        l.amount = round2(l.qty * l.price);
    }
    db::Transaction tx(m_conn, db::Transaction::Lock::Books);
    check(*k, bill);
    if (bill.interId > 0) {
        requireOpen(*k, bill.interId);
        if (!k->order) {
            applyStock(bill.interId, false);
            applyOrderCompletion(bill.interId, false);
            m_conn.execute(QStringLiteral("delete from ICStockBillEntry where FInterID=?"), {bill.interId});
        }
    }
    checkReturns(bill);
    SaveOutcome out;
    out.overReceipts = overReceipts(bill);
    out.shortages = shortages(*k, bill);
    const QString action =
        accountdb::readProfile(m_conn, QStringLiteral("ActionWhenShortStock"), QStringLiteral("2")).trimmed();
    if (action == QLatin1String("1"))
        out.shortages.clear();
    if (action == QLatin1String("3") && !out.shortages.isEmpty()) {
        QStringList lines;
        for (const Shortage &s : out.shortages)
            lines << QStringLiteral("%1 %2：库存 %3，需要 %4")
                         .arg(s.number, s.name, qtyText(s.onHand), qtyText(s.needed));
        throw Error(QStringLiteral("仓库“%1”库存不足，不能开单：\n").arg(out.shortages.first().store) +
                    lines.join(u'\n'));
    }
    if (!confirmed && (!out.shortages.isEmpty() || !out.overReceipts.isEmpty()))
        return out; // the scope rolls back what was taken back above
    if (k->order)
        writeOrder(*k, bill);
    else
        writeStockBill(*k, bill);
    tx.commit();
    out.saved = true;
    return out;
}

void BillStore::writeStockBill(const BillKind &k, Bill &bill) {
    const bool isNew = bill.interId <= 0;
    const double sumAmount = bill.totalAmount();
    bill.year = bill.date.year();
    bill.period = bill.date.month();
    const QVariant in = k.inStore ? QVariant(bill.inStockId) : QVariant(0);
    const QVariant out = k.outStore ? QVariant(bill.outStockId) : QVariant(0);
    const QVariant orga = k.supplier ? QVariant(bill.orgaId) : QVariant(0);
    if (isNew) {
        bill.interId =
            m_conn.scalar(QStringLiteral("select isnull(max(FInterID),0)+1 from ICStockBill")).toInt();
        bill.billNo = drawNumber(k, bill);
        m_conn.execute(
            QStringLiteral(
                "insert into ICStockBill (FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,"
                "FOrgaID,FOutStockID,FInStockID,FEmpID,FBillerID,FRemark,FSumAmount,FSumCost,FSumProfit) "
                "values (?,?,?,?,?,?,0,?,?,?,?,?,?,?,0,0)"),
            {bill.interId, bill.billNo, dateValue(bill.date), bill.year, bill.period, k.code, orga, out, in,
             bill.empId, m_userId, bill.remark, sumAmount});
    } else {
        m_conn.execute(
            QStringLiteral(
                "update ICStockBill set FDate=?,FYear=?,FPeriod=?,FOrgaID=?,FOutStockID=?,FInStockID=?,"
                "FEmpID=?,FRemark=?,FSumAmount=? where FInterID=?"),
            {dateValue(bill.date), bill.year, bill.period, orga, out, in, bill.empId, bill.remark, sumAmount,
             bill.interId});
    }
    QHash<int, double> costs;
    const QList<int> ids = itemIds(bill);
    for (auto rs = m_conn.open(QStringLiteral("select FItemID,FPjCost from t_ICItem where FItemID in (%1)")
                                   .arg(marks(ids.size())),
                               asParams(ids));
         !rs.eof(); rs.moveNext())
        costs.insert(rs.toInt(QStringLiteral("FItemID")), rs.toDouble(QStringLiteral("FPjCost")));
    // Many rows per statement: one round trip per row is most of a long bill's save on a server.
    constexpr qsizetype Chunk = 50;
    const QString insert =
        QStringLiteral("insert into ICStockBillEntry (FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,"
                       "FAmount,FUnitCost,FCost,FPreSend,FSourceInterID,FSourceEntryID) values ");
    const bool sourced = k.code == 12 || k.code == 31;
    for (qsizetype from = 0; from < bill.lines.size(); from += Chunk) {
        QStringList rows;
        QVariantList params;
        for (qsizetype i = from; i < std::min(from + Chunk, bill.lines.size()); ++i) {
            const BillLine &l = bill.lines[i];
            // Purchases bring their own value; other lines start at the cost price until costing revalues
            // them.
            const double unitCost = k.code == 12 ? l.price : costs.value(l.itemId);
            rows << QStringLiteral("(?,?,?,?,?,?,?,?,?,0,?,?)");
            params << bill.interId << int(i + 1) << l.itemId << l.qty << round4(l.mainQty) << l.price
                   << l.amount << unitCost << round2(unitCost * l.qty) << (sourced ? l.sourceInterId : 0)
                   << (sourced ? l.sourceEntryId : 0);
        }
        m_conn.execute(insert + rows.join(u','), params);
    }
    m_conn.execute(
        QStringLiteral("update ICStockBill set FSumCost=(select isnull(sum(FCost),0) from ICStockBillEntry "
                       "where FInterID=?) where FInterID=?"),
        {bill.interId, bill.interId});
    applyStock(bill.interId, true);
    if (k.code == 12) {
        applyOrderCompletion(bill.interId, true);
        // The item's purchase price follows its latest receipt.
        m_conn.execute(
            QStringLiteral("update t_ICItem set FPurPrice=(select max(e.FPrice) from ICStockBillEntry e "
                           "where e.FInterID=? and e.FItemID=t_ICItem.FItemID), FJjEditDate=? "
                           "where FItemID in (select e.FItemID from ICStockBillEntry e where e.FInterID=? "
                           "and e.FPrice>0) and isnull(FPurPrice,0)<>(select max(e.FPrice) from "
                           "ICStockBillEntry e where e.FInterID=? and e.FItemID=t_ICItem.FItemID)"),
            {bill.interId, QDateTime::currentDateTime(), bill.interId, bill.interId});
    }
}

void BillStore::writeOrder(const BillKind &k, Bill &bill) {
    bill.year = bill.date.year();
    bill.period = bill.date.month();
    if (bill.interId <= 0) {
        bill.interId = m_conn.scalar(QStringLiteral("select isnull(max(FInterID),0)+1 from ICOrder")).toInt();
        bill.billNo = drawNumber(k, bill);
        m_conn.execute(
            QStringLiteral("insert into ICOrder (FInterID,FBillNo,FDate,FOrgaID,FSalerID,FRemark,FDeleted) "
                           "values (?,?,?,?,?,?,0)"),
            {bill.interId, bill.billNo, dateValue(bill.date), bill.orgaId, bill.empId, bill.remark});
    } else {
        m_conn.execute(
            QStringLiteral("update ICOrder set FDate=?,FOrgaID=?,FSalerID=?,FRemark=? where FInterID=?"),
            {dateValue(bill.date), bill.orgaId, bill.empId, bill.remark, bill.interId});
        m_conn.execute(QStringLiteral("delete from ICOrderEntry where FInterID=?"), {bill.interId});
    }
    auto insert = m_conn.prepare(
        QStringLiteral("insert into ICOrderEntry (FInterID,FEntryID,FItemID,FQty,FCompleteQty,FPrice,"
                       "FJhDate,FCancelAction) values (?,?,?,?,0,?,?,0)"));
    int entry = 0;
    for (const BillLine &l : bill.lines)
        insert.exec({bill.interId, ++entry, l.itemId, l.qty, l.price, dateValue(l.due)});
}

void BillStore::remove(int kind, int interId) {
    const BillKind *k = billKind(kind);
    if (!k)
        throw Error(QStringLiteral("单据类型 %1 不是本组件管理的单据。").arg(kind));
    if (k->viewOnly)
        throw Error(QStringLiteral("%1只能查看，不能在这里删除。").arg(k->name));
    db::Transaction tx(m_conn, db::Transaction::Lock::Books);
    requireOpen(*k, interId);
    if (k->order) {
        m_conn.execute(QStringLiteral("update ICOrder set FDeleted=1 where FInterID=?"), {interId});
    } else {
        applyStock(interId, false);
        applyOrderCompletion(interId, false);
        m_conn.execute(QStringLiteral("update ICStockBill set FDeleted=1 where FInterID=?"), {interId});
    }
    tx.commit();
}

} // namespace zostore::modules::bills
