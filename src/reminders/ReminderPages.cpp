#include "reminders/ReminderPages.h"

#include "accountdb/ItemExtraFields.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "startup/SettingsStore.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace zostore::reminders {

namespace {

constexpr int ProcedureTimeoutSeconds = 3000;

PageColumn same(const QString &key, const QString &caption, bool numeric = false) {
    return {key, caption, caption, numeric, false};
}
PageColumn pair(const char *key, const char *upper, const char *lower) {
    return {QString::fromLatin1(key), QString::fromUtf8(upper), QString::fromUtf8(lower), true, false};
}

void addItemColumns(QList<PageColumn> &cols, db::Connection &conn) {
    cols << same(QStringLiteral("FNumber"), QStringLiteral("商品代码"))
         << same(QStringLiteral("FName"), QStringLiteral("商品名称"))
         << same(QStringLiteral("FModel"), QStringLiteral("规格型号"));
    for (const auto &f : accountdb::itemExtraFields(conn))
        cols << same(f.name, f.caption);
    cols << same(QStringLiteral("FUnit"), QStringLiteral("单位"));
}

PageColumn hiddenKey(const char *key) {
    PageColumn c = same(QString::fromLatin1(key), QString());
    c.hidden = true;
    return c;
}

double number(const QString &text) {
    return text.toDouble();
}
QString plain(double v) {
    return db::Recordset::textOf(QVariant(v));
}

bool isPriceKey(const QString &key) {
    return key.contains(QLatin1String("price"), Qt::CaseInsensitive);
}

// The record field of each column, -1 for columns the list works out itself.
QList<int> fieldsOf(const db::Recordset &rs, const QList<PageColumn> &cols) {
    QList<int> fields;
    for (const PageColumn &c : cols)
        fields << rs.fieldIndex(c.key);
    return fields;
}

// The texts of one record, column by column.
QStringList textsOf(const db::Recordset &rs, const QList<int> &fields) {
    QStringList cells;
    for (int f : fields)
        cells << (f >= 0 ? db::Recordset::textOf(rs.value(f)) : QString());
    return cells;
}

// Reads every row; an error while reading keeps what was read, as the list shows it.
template <class Fill> void readRows(ReminderPage &page, db::Recordset &rs, Fill fill) {
    try {
        for (; !rs.eof(); rs.moveNext())
            fill();
    } catch (const Error &e) {
        page.failure = e.description();
    }
}

void pricePage(db::Connection &conn, ReminderPage &page, const PageOptions &o) {
    const bool below = page.page == PriceBelowCost;
    auto &cols = page.columns;
    addItemColumns(cols, conn);
    PageColumn pur = same(QStringLiteral("FPurPrice"), QStringLiteral("进价"), true);
    pur.hidden = !o.mayViewPurPrice;
    cols << pur;
    if (!below)
        cols << same(QStringLiteral("FJjEditDate"), QStringLiteral("进价时间"));
    const QList<PageColumn> prices = visiblePriceColumns(conn, o.hiddenPriceStyles);
    cols << prices;
    if (!below)
        cols << same(QStringLiteral("FSjEditDate"), QStringLiteral("售价时间"));
    cols << hiddenKey("FItemID");

    QString sql;
    if (below) {
        QString cond = QStringLiteral("Fdel=0 and (");
        for (const PageColumn &p : prices)
            cond += p.key + QStringLiteral("<FPurPrice or ");
        sql =
            QStringLiteral("select * from t_icitem where ") + cond + QStringLiteral("1<>1) order by FNumber");
    } else {
        sql = QStringLiteral(
            "select * from t_icitem where FJjEditDate>isnull(FSjEditDate,'1900-01-01 00:00:00') "
            "and FDel=0 order by FNumber");
    }
    auto rs = conn.open(sql);
    const QList<int> fields = fieldsOf(rs, cols);
    const int purField = rs.fieldIndex(QStringLiteral("FPurPrice"));
    readRows(page, rs, [&] {
        QStringList cells;
        const int row = int(page.rows.size());
        const double purPrice = db::Recordset::doubleOf(rs.value(purField));
        for (int c = 0; c < cols.size(); ++c) {
            const QVariant v = fields.at(c) >= 0 ? rs.value(fields.at(c)) : QVariant();
            if (v.isNull()) {
                cells << QString();
            } else if (isPriceKey(cols.at(c).key)) {
                const double price = db::Recordset::doubleOf(v);
                cells << money(price);
                if (below && price < purPrice)
                    page.redCells.insert(qint64(row) * 65536 + c);
            } else {
                cells << db::Recordset::textOf(v);
            }
        }
        page.rows << cells;
    });
}

void shortagePage(db::Connection &conn, ReminderPage &page, const PageOptions &o) {
    page.headerRows = 2;
    auto &cols = page.columns;
    addItemColumns(cols, conn);
    cols << same(QStringLiteral("FExchange"), QStringLiteral("包装数"), true)
         << pair("FStockMainQty", "实际库存", "辅助数量") << pair("FStockQty", "实际库存", "总数量")
         << pair("FAskMainQty1", "最小库存", "辅助数量") << pair("FAskQty1", "最小库存", "总数量")
         << pair("FResultMainQty", "短缺", "辅助数量") << pair("FResultQty", "短缺", "总数量")
         << hiddenKey("FItemID");

    db::ProcArgs args;
    args.add(QStringLiteral("@ShowType"), db::ParamType::Integer, 1);
    args.add(QStringLiteral("@UserSql"), db::ParamType::Text, QStringLiteral("1=1"));
    args.add(QStringLiteral("@stockname"), db::ParamType::Text,
             o.storeName == AllStores ? QString() : o.storeName);
    auto rs = conn.callProcedure(QStringLiteral("Rp_ShortageAndOver"), args, ProcedureTimeoutSeconds);
    const QList<int> fields = fieldsOf(rs, cols);
    const int stockMain = page.colIndex(QStringLiteral("FStockMainQty"));
    const int stock = page.colIndex(QStringLiteral("FStockQty"));
    const int askMain = page.colIndex(QStringLiteral("FAskMainQty1"));
    const int ask = page.colIndex(QStringLiteral("FAskQty1"));
    const int resultMain = page.colIndex(QStringLiteral("FResultMainQty"));
    const int result = page.colIndex(QStringLiteral("FResultQty"));
    readRows(page, rs, [&] {
        QStringList cells = textsOf(rs, fields);
        cells[resultMain] = plain(std::fabs(number(cells.at(askMain)) - number(cells.at(stockMain))));
        cells[result] = plain(std::fabs(number(cells.at(ask)) - number(cells.at(stock))));
        page.rows << cells;
    });
}

// Whole packages of a quantity; a missing package size counts none.
QString packagesOf(const QString &qty) {
    return QStringLiteral("case when isnull(t3.FExchange,0)=0 then 0 else toint(%1/t3.FExchange) end")
        .arg(qty);
}

void overdueOrdersPage(db::Connection &conn, ReminderPage &page, const PageOptions &o) {
    page.headerRows = 2;
    auto &cols = page.columns;
    cols << same(QStringLiteral("FOrgaNumber"), QStringLiteral("供应商代码"))
         << same(QStringLiteral("FOrgaName"), QStringLiteral("供应商名称"))
         << same(QStringLiteral("FBillNo"), QStringLiteral("订货单号"))
         << same(QStringLiteral("FSaler"), QStringLiteral("业务员"))
         << same(QStringLiteral("FDate"), QStringLiteral("订货日期"));
    addItemColumns(cols, conn);
    cols << pair("FSumMainQty", "订 货", "件数") << pair("FSumSlaveQty", "订 货", "零数")
         << pair("FSumQty", "订 货", "数量") << pair("FCompleteMainQty", "已完成", "件数")
         << pair("FCompleteSlaveQty", "已完成", "零数") << pair("FCompleteQty", "已完成", "数量")
         << pair("FUnCompleteMainQty", "未完成", "件数") << pair("FUnCompleteSlaveQty", "未完成", "零数")
         << pair("FUnCompleteQty", "未完成", "数量") << pair("FPrice", "未完成", "单价")
         << pair("FAmount", "未完成", "金额")
         << same(QStringLiteral("FEndDate"), QStringLiteral("应到货日期")) << hiddenKey("FInterID");

    const QString unComplete = QStringLiteral("(t2.FQty-isnull(t2.FCompleteQty,0))");
    const QString sql =
        QStringLiteral("select t2.FInterID,t2.FEntryID,t4.FNumber as FOrgaNumber,t4.FName as FOrgaName,"
                       "t5.FName as FSaler,t1.FBillNo,t1.FDate,t3.*,t2.FQty as FSumQty,") +
        packagesOf(QStringLiteral("t2.FQty")) + QStringLiteral(" as FSumMainQty,t2.FCompleteQty,") +
        packagesOf(QStringLiteral("t2.FCompleteQty")) + QStringLiteral(" as FCompleteMainQty,") + unComplete +
        QStringLiteral(" as FUnCompleteQty,") + packagesOf(unComplete) +
        QStringLiteral(" as FUnCompleteMainQty,t2.FPrice,t2.FJhDate as FEndDate,") + unComplete +
        QStringLiteral("*t2.FPrice as FAmount "
                       "from ((ICOrder t1 inner join ICOrderEntry t2 on t1.FInterID=t2.FInterID) "
                       "inner join t_ICItem t3 on t2.FItemID=t3.FItemID) "
                       "inner join t_Supplier t4 on t1.FOrgaID=t4.FItemID "
                       "left join t_Emp t5 on t1.FSalerID=t5.FItemID "
                       "where t2.FCancelAction=0 and t2.FJhDate<=? and t2.FCompleteQty<t2.FQty "
                       "order by t2.FJhDate,t2.FInterID,t2.FEntryID");
    // Due dates may carry a time: the whole of today counts as due.
    auto rs = conn.open(sql, {QDateTime(o.today, QTime(23, 59, 59))});
    const QList<int> fields = fieldsOf(rs, cols);
    const int exchange = rs.fieldIndex(QStringLiteral("FExchange"));
    static const char *const summed[] = {"FSumMainQty",
                                         "FSumSlaveQty",
                                         "FSumQty",
                                         "FCompleteMainQty",
                                         "FCompleteSlaveQty",
                                         "FCompleteQty",
                                         "FUnCompleteMainQty",
                                         "FUnCompleteSlaveQty",
                                         "FUnCompleteQty",
                                         "FAmount"};
    QList<int> sumCols;
    for (const char *k : summed)
        sumCols << page.colIndex(QLatin1String(k));
    QList<double> totals(sumCols.size(), 0.0);
    const int price = page.colIndex(QStringLiteral("FPrice"));
    const int amount = page.colIndex(QStringLiteral("FAmount"));
    readRows(page, rs, [&] {
        QStringList cells = textsOf(rs, fields);
        const double ex = db::Recordset::doubleOf(rs.value(exchange));
        // The remainder beside each package count: quantity less whole packages.
        for (const char *part : {"Sum", "Complete", "UnComplete"}) {
            const QString p = QLatin1String(part);
            const int slave = page.colIndex(QStringLiteral("F") + p + QStringLiteral("SlaveQty"));
            const double q = number(cells.at(page.colIndex(QStringLiteral("F") + p + QStringLiteral("Qty"))));
            const double main =
                number(cells.at(page.colIndex(QStringLiteral("F") + p + QStringLiteral("MainQty"))));
            cells[slave] = plain(q - main * ex);
        }
        const double amountValue = number(cells.at(amount));
        for (int i = 0; i < sumCols.size(); ++i)
            totals[i] += sumCols.at(i) == amount ? amountValue : number(cells.at(sumCols.at(i)));
        cells[price] = o.mayViewPurPrice && !cells.at(price).isEmpty() ? groupedMoney(number(cells.at(price)))
                                                                       : QString();
        cells[amount] =
            o.mayViewPurPrice && !cells.at(amount).isEmpty() ? groupedMoney(amountValue) : QString();
        page.rows << cells;
    });
    QStringList total(cols.size());
    total[page.colIndex(QStringLiteral("FOrgaName"))] = QStringLiteral("★合计★");
    for (int i = 0; i < sumCols.size(); ++i)
        total[sumCols.at(i)] = sumCols.at(i) == amount
                                   ? (o.mayViewPurPrice ? groupedMoney(totals.at(i)) : QString())
                                   : plain(totals.at(i));
    page.rows << total;
}

} // namespace

QString pageCaption(int page) {
    switch (page) {
    case PriceBelowCost:
        return QStringLiteral("售价低于进价商品");
    case PurchasePriceChanged:
        return QStringLiteral("进价已变，售价未变");
    case Shortage:
        return QStringLiteral("库存短缺商品");
    case OverdueOrders:
        return QStringLiteral("超期未到货采购订单");
    default:
        return QString();
    }
}

int ReminderPage::colIndex(const QString &key) const {
    for (int c = 0; c < columns.size(); ++c)
        if (columns.at(c).key.compare(key, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QList<int> parseHiddenPriceStyles(const QString &setting) {
    QList<int> ids;
    for (const QString &part : setting.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (ok)
            ids << id;
    }
    return ids.isEmpty() ? QList<int>{0} : ids;
}

QList<int> hiddenPriceStylesOf(int userId) {
    return parseHiddenPriceStyles(
        startup::SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("TempValue"),
                                      QStringLiteral("DisViewPriceID:") + QString::number(userId)));
}

QList<PageColumn> visiblePriceColumns(db::Connection &conn, const QList<int> &hidden) {
    QSet<QString> itemColumns;
    {
        auto rs = conn.open(QStringLiteral("select * from t_ICItem where 1=0"));
        for (const QString &n : rs.fieldNames())
            itemColumns.insert(n.toLower());
    }
    QStringList ids;
    for (int id : hidden)
        ids << QString::number(id);
    QList<PageColumn> out;
    auto rs = conn.open(QStringLiteral("select FItemID,FName from t_PriceStyle where fitemid not in (") +
                        ids.join(QLatin1Char(',')) + QStringLiteral(") order by FNumber"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString key = QStringLiteral("FPrice_") + rs.text(QStringLiteral("FItemID"));
        if (itemColumns.contains(key.toLower()))
            out << same(key, rs.text(QStringLiteral("FName")), true);
    }
    return out;
}

ReminderPage buildPage(db::Connection &conn, int page, const PageOptions &options) {
    ReminderPage p;
    if (page < 0 || page >= PageCount)
        return p;
    p.page = page;
    switch (page) {
    case PriceBelowCost:
    case PurchasePriceChanged:
        pricePage(conn, p, options);
        break;
    case Shortage:
        shortagePage(conn, p, options);
        break;
    default:
        overdueOrdersPage(conn, p, options);
        break;
    }
    return p;
}

QString groupedMoney(double v) {
    static const QLocale en(QLocale::English, QLocale::UnitedStates);
    return en.toString(v, 'f', 2);
}

QString money(double v) {
    return QString::number(v, 'f', 2);
}

} // namespace zostore::reminders
