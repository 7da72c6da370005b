#include "counter/ReceiptTemplateStore.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/MessageText.h"
#include "db/Transaction.h"

namespace zostore::counter {

namespace {
constexpr int CounterSale = 99;
constexpr int RetailPriceStyle = 1;
constexpr int SampleItems = 3;
} // namespace

QStringList ReceiptTemplateStore::variables() {
    QStringList out;
    for (db::Recordset rs = m_conn.open(QStringLiteral("select FVarCaption from tdvariant where ftrantype=? and "
                                                       "left(fvarname,7)<>? order by FVarCaption"),
                                        {CounterSale, QStringLiteral("FPrice_")});
         !rs.eof(); rs.moveNext())
        out.append(rs.text(QStringLiteral("FVarCaption")));
    return out;
}

QStringList ReceiptTemplateStore::stores() {
    QStringList out;
    for (db::Recordset rs = m_conn.open(QStringLiteral("select FName from t_Stock order by FNumber")); !rs.eof();
         rs.moveNext())
        out.append(rs.text(QStringLiteral("FName")));
    return out;
}

std::optional<ReceiptTemplate> ReceiptTemplateStore::load(const QString &stockName, const ReceiptTemplate &shown) {
    db::Recordset rs =
        m_conn.open(QStringLiteral("select * from tdposbill where FStockName=?"), {stockName});
    if (rs.eof())
        return std::nullopt;
    ReceiptTemplate t = shown;
    t.stockName = stockName;
    const auto text = [&](const char *col, QString &into) {
        if (!rs.isNull(QLatin1String(col)))
            into = rs.text(QLatin1String(col));
    };
    const auto number = [&](const char *col, int &into) {
        if (!rs.isNull(QLatin1String(col)))
            into = rs.toInt(QLatin1String(col));
    };
    text("FConText", t.conText);
    number("FHdrRows", t.hdrRows);
    number("FTableHdrRows", t.tableHdrRows);
    number("FBdyRows", t.bdyRows);
    number("FItemNameLen", t.itemNameLen);
    number("FBarCodeLen", t.barCodeLen);
    number("FAmountLen", t.amountLen);
    if (!rs.isNull(QStringLiteral("FJdRowHeight")))
        t.jdRowHeight = rs.toBool(QStringLiteral("FJdRowHeight"));
    text("FCmdText_beg", t.cmdBeg);
    text("FCmdText_end", t.cmdEnd);
    return t;
}

void ReceiptTemplateStore::save(const ReceiptTemplate &t, const QDateTime &editTime) {
    db::Transaction tx(m_conn);
    m_conn.execute(QStringLiteral("delete from TDPosBill where FStockName=?"), {t.stockName});
    m_conn.execute(QStringLiteral("insert into tdposbill(FStockName,FConText,FHdrRows,FTableHdrRows,FBdyRows,"
                                  "FItemNameLen,FBarCodeLen,FAmountLen,FJdRowHeight,FEditTime,FCmdText_beg,"
                                  "FCmdText_end) values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                   {t.stockName, t.conText, t.hdrRows, t.tableHdrRows, t.bdyRows, t.itemNameLen, t.barCodeLen,
                    t.amountLen, t.jdRowHeight ? 1 : 0, editTime, t.cmdBeg, t.cmdEnd});
    tx.commit();
}

ReceiptTemplateStore::Sample ReceiptTemplateStore::sampleSale(const QString &stockName, const QString &cashier,
                                                              const QDateTime &when) {
    Sample s;
    s.sale.shopName = stockName;
    s.sale.cashier = cashier;
    s.sale.copyFlag = QStringLiteral("(复件)");
    s.sale.settleTime = when;
    db::Recordset store = m_conn.open(
        QStringLiteral("select FNumber,FPriceStyleID from t_Stock where FName=? order by FNumber"), {stockName});
    const int style = store.eof() ? 0 : store.toInt(QStringLiteral("FPriceStyleID"));
    s.sale.billNo = (store.eof() ? QString() : store.text(QStringLiteral("FNumber"))) +
                    when.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("0001");

    const QString shortName = db::shortened(stockName);
    QString column;
    if (!store.eof() && style > 0 &&
        accountdb::hasColumn(m_conn, QStringLiteral("t_ICItem"), accountdb::priceColumnName(style))) {
        column = accountdb::priceColumnName(style);
    } else {
        if (store.eof())
            s.note = QStringLiteral("没有选择仓库，预览按零售价计算。");
        else if (style <= 0)
            s.note = QStringLiteral("仓库“%1”没有设置价格类型，预览按零售价计算。").arg(shortName);
        else
            s.note = QStringLiteral("仓库“%1”的价格类型（编号 %2）已不存在，预览按零售价计算。").arg(shortName).arg(style);
        if (accountdb::hasColumn(m_conn, QStringLiteral("t_ICItem"), accountdb::priceColumnName(RetailPriceStyle)))
            column = accountdb::priceColumnName(RetailPriceStyle);
    }

    const QList<QPair<double, double>> qtyRate{{2, 100}, {1, 90}, {0.5, 100}};
    if (!column.isEmpty()) {
        db::Recordset rs = m_conn.open(
            QStringLiteral("select FName,FShopNumber,FBar_Code,%1 as FSalePrice from t_ICItem where FDel=0 "
                           "order by FNumber")
                .arg(column),
            {}, db::Cursor::Forward);
        for (; !rs.eof() && s.sale.lines.size() < SampleItems; rs.moveNext())
            s.sale.lines.append({rs.text(QStringLiteral("FName")), rs.text(QStringLiteral("FShopNumber")),
                                 rs.text(QStringLiteral("FBar_Code")), qtyRate[s.sale.lines.size()].first,
                                 rs.toDouble(QStringLiteral("FSalePrice")), qtyRate[s.sale.lines.size()].second});
    }
    if (s.sale.lines.isEmpty()) {
        s.note += QStringLiteral("帐套里还没有可用的商品，预览用示例商品。");
        s.sale.lines = {{QStringLiteral("示例商品甲"), QStringLiteral("000001"), QStringLiteral("6900000000017"), 2,
                         12.5, 100},
                        {QStringLiteral("示例商品乙"), QStringLiteral("000002"), QStringLiteral("6900000000024"), 1,
                         8.8, 90}};
    }
    return s;
}

} // namespace zostore::counter
