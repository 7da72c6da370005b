#include "modules/init/StockTransfer.h"

#include "accountdb/StockMovement.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/ScratchTable.h"
#include "db/Transaction.h"
#include "modules/init/InitState.h"
#include "modules/init/OpeningStock.h"

#include <QHash>
#include <QLocale>
#include <cmath>

namespace zostore::modules::init {

namespace {

enum Field { Store, Number, Name, Model, Unit, Qty, Price, Amount };

const QStringList &captions() {
    static const QStringList c{QStringLiteral("仓库"),     QStringLiteral("商品代码"),
                               QStringLiteral("商品名称"), QStringLiteral("规格型号"),
                               QStringLiteral("单位"),     QStringLiteral("期初数量"),
                               QStringLiteral("单价"),     QStringLiteral("期初金额")};
    return c;
}

QString trimmedNumber(double v, int decimals) {
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals))
        return QStringLiteral("0");
    QString t = QString::number(v, 'f', decimals);
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    return t;
}

// Empty is 0; "1,234.5" and "1e3" are numbers too.
double numberIn(const QString &text, const QString &field) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    double v = 0;
    int decimals = 0;
    bool grouped = false;
    if (components::sheet::parseNumber(t, v, decimals, grouped))
        return v;
    bool ok = false;
    v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        throw Error(QStringLiteral("%1必须是数字（现在是“%2”）。").arg(field, db::shortened(t)));
    return v;
}

struct Target {
    int itemId = 0, stockId = 0;
    double qty = 0, amount = 0;
};

} // namespace

components::sheet::Sheet exportOpeningStock(db::Connection &conn) {
    const InitState s = InitState::read(conn);
    components::sheet::Sheet out;
    out.title = QStringLiteral("期初库存");
    out.header = {captions()};
    out.numeric = {false, false, false, false, false, true, true, true};
    for (auto rs = conn.open(
             QStringLiteral(
                 "select st.FNumber as FStock,i.FNumber,i.FName,i.FModel,i.FUnit,b.FBegQty,b.FBegBal "
                 "from icstockbal b join t_ICItem i on i.FItemID=b.FItemID join t_Stock st on "
                 "st.FItemID=b.FStockID where b.FYear=? and b.FPeriod=? and i.FDel=0 "
                 "order by st.FNumber,i.FNumber"),
             {s.startYear, s.startPeriod}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext()) {
        const double qty = rs.toDouble(QStringLiteral("FBegQty")),
                     amount = rs.toDouble(QStringLiteral("FBegBal"));
        out.rows << QStringList{rs.text(QStringLiteral("FStock")),
                                rs.text(QStringLiteral("FNumber")),
                                rs.text(QStringLiteral("FName")),
                                rs.text(QStringLiteral("FModel")),
                                rs.text(QStringLiteral("FUnit")),
                                trimmedNumber(qty, 4),
                                qty > 0 ? trimmedNumber(amount / qty, 4) : QStringLiteral("0"),
                                QString::number(amount, 'f', 2)};
    }
    return out;
}

ImportReport importOpeningStock(db::Connection &conn, const QList<QStringList> &rows, bool skipBad) {
    const QStringList &cap = captions();
    const QHash<QString, int> at =
        components::sheet::headerColumns(rows, cap, {cap[Store], cap[Number], cap[Qty]});
    if (!at.contains(cap[Amount]) && !at.contains(cap[Price]))
        throw Error(QStringLiteral("第 1 行：缺少列“期初金额”或“单价”。"));
    auto cell = [&](const QStringList &row, Field f) {
        const int c = at.value(cap[f], -1);
        return c < 0 ? QString() : row.value(c).trimmed();
    };

    db::Transaction tx(conn, db::Transaction::Lock::Books);
    const InitState s = InitState::read(conn);
    if (const QString why = s.whyReadOnly(); !why.isEmpty())
        throw Error(why);

    struct Item {
        int id;
        QString name;
        bool removed;
    };
    QHash<QString, Item> items;
    for (auto rs = conn.open(QStringLiteral("select FItemID,FNumber,FName,FDel from t_ICItem"), {},
                             db::Cursor::Forward);
         !rs.eof(); rs.moveNext())
        items.insert(rs.text(QStringLiteral("FNumber")),
                     {rs.toInt(QStringLiteral("FItemID")), rs.text(QStringLiteral("FName")),
                      rs.toInt(QStringLiteral("FDel")) != 0});
    QHash<QString, int> storeByCode;
    QHash<QString, QList<int>> storeByName;
    QHash<int, QString> storeName;
    for (auto rs = conn.open(QStringLiteral("select FItemID,FNumber,FName from t_Stock")); !rs.eof();
         rs.moveNext()) {
        const int id = rs.toInt(QStringLiteral("FItemID"));
        storeByCode.insert(rs.text(QStringLiteral("FNumber")), id);
        storeByName[rs.text(QStringLiteral("FName"))].append(id);
        storeName.insert(id, rs.text(QStringLiteral("FName")));
    }
    // A code first, then a name, then "code name" as the window's list shows a store.
    auto storeOf = [&](const QString &text) {
        if (text.isEmpty())
            throw Error(QStringLiteral("仓库不能为空。"));
        if (storeByCode.contains(text))
            return storeByCode.value(text);
        const QList<int> named = storeByName.value(text);
        if (named.size() > 1)
            throw Error(QStringLiteral("有 %1 个仓库都叫“%2”，请填写仓库代码。").arg(named.size()).arg(text));
        if (named.size() == 1)
            return named.first();
        const qsizetype space = text.indexOf(u' ');
        if (space > 0 && storeByCode.contains(text.left(space)) &&
            storeName.value(storeByCode.value(text.left(space))) == text.mid(space + 1).trimmed())
            return storeByCode.value(text.left(space));
        throw Error(QStringLiteral("仓库“%1”不存在。").arg(db::shortened(text)));
    };

    ImportReport report;
    QList<Target> good;
    QHash<QPair<int, int>, int> seen; // item and store -> row
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList &row = rows[i];
        const int rowNo = i + 1;
        if (components::sheet::blankRow(row))
            continue;
        try {
            const QString number = cell(row, Number);
            if (number.isEmpty())
                throw Error(QStringLiteral("商品代码不能为空。"));
            const auto item = items.constFind(number);
            if (item == items.cend())
                throw Error(QStringLiteral("商品代码“%1”不存在。").arg(db::shortened(number)));
            if (item->removed)
                throw Error(
                    QStringLiteral("商品 %1 %2 已被删除，不能录入期初库存。").arg(number, item->name));
            const int stockId = storeOf(cell(row, Store));
            OpeningLine l;
            l.itemId = item->id;
            l.number = number;
            l.name = item->name;
            l.qty = numberIn(cell(row, Qty), cap[Qty]);
            const QString amount = cell(row, Amount);
            if (!amount.isEmpty() || cell(row, Price).isEmpty())
                l.amount = numberIn(amount, cap[Amount]);
            else
                l.amount = std::round(l.qty * numberIn(cell(row, Price), cap[Price]) * 100) / 100;
            checkOpening(l);
            const QPair<int, int> key{item->id, stockId};
            if (seen.contains(key))
                throw Error(QStringLiteral("商品 %1 在仓库“%2”的期初库存与第 %3 行重复。")
                                .arg(number, storeName.value(stockId))
                                .arg(seen.value(key)));
            seen.insert(key, rowNo);
            good.append(
                {item->id, stockId, std::round(l.qty * 10000) / 10000, std::round(l.amount * 100) / 100});
        } catch (const Error &e) {
            report.bad.append({rowNo, e.description()});
        }
    }
    if ((!report.bad.isEmpty() && !skipBad) || good.isEmpty())
        return report;

    // An older set's unsplit openings get their store first, so the stores the file leaves out stay whole.
    accountdb::alignStoreOpenings(conn, s.startYear, s.startPeriod);
    const QString scratch = QStringLiteral("zs_open_import");
    db::createScratchTable(conn, scratch,
                           QStringLiteral("FItemID integer, FStockID integer, FQty %N, FBal %N, "
                                          "primary key (FItemID, FStockID)"));
    const int batch = conn.isSqlite() ? 60 : 225;
    for (qsizetype from = 0; from < good.size(); from += batch) {
        const qsizetype n = std::min<qsizetype>(batch, good.size() - from);
        QVariantList values;
        values.reserve(n * 4);
        for (qsizetype k = from; k < from + n; ++k)
            values << good[k].itemId << good[k].stockId << good[k].qty << good[k].amount;
        conn.execute(QStringLiteral("insert into %1 (FItemID,FStockID,FQty,FBal) values ").arg(scratch) +
                         QStringList(n, QStringLiteral("(?,?,?,?)")).join(u','),
                     values);
    }
    db::prepareScratchTable(conn, scratch);
    const QVariantList month{s.startYear, s.startPeriod};
    // Today's stock moves by what each store's opening changes.
    conn.execute(
        QStringLiteral("insert into ICInventory (FStockID,FItemID,FQty) "
                       "select n.FStockID,n.FItemID,n.FQty-coalesce(b.FBegQty,0) from %1 n "
                       "left join icstockbal b on b.FItemID=n.FItemID and b.FStockID=n.FStockID "
                       "and b.FYear=? and b.FPeriod=? where n.FQty<>coalesce(b.FBegQty,0) "
                       "on conflict (FStockID,FItemID) do update set FQty=ICInventory.FQty+excluded.FQty")
            .arg(scratch),
        month);
    conn.execute(
        QStringLiteral("delete from icstockbal where FYear=? and FPeriod=? and exists (select 1 from %1 n "
                       "where n.FItemID=icstockbal.FItemID and n.FStockID=icstockbal.FStockID)")
            .arg(scratch),
        month);
    conn.execute(QStringLiteral("insert into icstockbal (FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
                                "select ?,?,FItemID,FStockID,FQty,FBal from %1 where FQty<>0 or FBal<>0")
                     .arg(scratch),
                 month);
    conn.execute(QStringLiteral("delete from icbal where FYear=? and FPeriod=? and FItemID in "
                                "(select FItemID from %1)")
                     .arg(scratch),
                 month);
    conn.execute(
        QStringLiteral(
            "insert into icbal (FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
            "select FItemID,FYear,FPeriod,sum(FBegQty),case when abs(sum(FBegQty))<0.00005 then 0 else "
            "%1 end,sum(FBegBal) from icstockbal where FYear=? and FPeriod=? and FItemID in "
            "(select FItemID from %2) group by FItemID,FYear,FPeriod")
            .arg(accountdb::roundSql(QStringLiteral("sum(FBegBal)/sum(FBegQty)"), 4), scratch),
        month);
    db::dropScratchTable(conn, scratch);
    tx.commit();
    report.imported = static_cast<int>(good.size());
    return report;
}

} // namespace zostore::modules::init
