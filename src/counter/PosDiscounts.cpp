#include "counter/PosDiscounts.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "db/Transaction.h"

namespace zostore::counter {

namespace {

// Lines per insert statement. Binding cost grows faster than the parameter count, so a short statement
// prepared once and run for every full chunk beats both one line per round trip and one long statement.
constexpr int RowsPerInsert = 20;
const QString InsertHead =
    QStringLiteral("Insert Into PosQtZkSet(FStockID,FBarCode,FFromNumber,FEntryID,FFromDate,FToDate,"
                   "FZkRate,FPrice,FRetailPrice,FSaleQty,FVipQty,FItemID,FMExchange) Values");
const QString InsertRow = QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?,?)");

} // namespace

PosDiscounts::PosDiscounts(db::Connection &conn) : m_conn(conn) {}

QStringList PosDiscounts::storeNames() {
    QStringList names;
    for (auto rs = m_conn.open(QStringLiteral("select * from t_Stock order by FNumber")); !rs.eof();
         rs.moveNext())
        names << rs.text(QStringLiteral("FName"));
    return names;
}

DiscountStore PosDiscounts::allStores() {
    auto rs = m_conn.open(QStringLiteral(
        "select FItemID,FPriceStyleID from t_Stock where isnull(FPriceStyleID,0)<>0 order by FNumber"));
    return {0, rs.eof() ? 0 : rs.toInt(QStringLiteral("FPriceStyleID"))};
}

std::optional<DiscountStore> PosDiscounts::store(const QString &name) {
    auto rs = m_conn.open(
        QStringLiteral("select FItemID,FPriceStyleID from t_Stock where FName=? order by FNumber"), {name});
    if (rs.eof())
        return std::nullopt;
    return DiscountStore{rs.toInt(QStringLiteral("FItemID")), rs.toInt(QStringLiteral("FPriceStyleID"))};
}

QList<DiscountSpan> PosDiscounts::groups(int storeId) {
    QList<DiscountSpan> out;
    for (auto rs = m_conn.open(QStringLiteral("select FFromDate,FToDate from PosQtZkSet where FStockID=? "
                                              "group by FFromDate,FToDate order by FFromDate,FToDate"),
                               {storeId});
         !rs.eof(); rs.moveNext())
        out << DiscountSpan{rs.toDateTime(QStringLiteral("FFromDate")),
                            rs.toDateTime(QStringLiteral("FToDate"))};
    return out;
}

bool PosDiscounts::groupExists(int storeId, const DiscountSpan &span) {
    return m_conn
               .scalar(QStringLiteral(
                           "select count(*) from PosQtZkSet where FStockID=? and FFromDate=? and FToDate=?"),
                       {storeId, span.from, span.to})
               .toInt() > 0;
}

QList<DiscountLine> PosDiscounts::lines(int storeId, const DiscountSpan &span) {
    QList<DiscountLine> out;
    auto rs =
        m_conn.open(QStringLiteral("select t1.*,t2.fname,t2.FModel from PosQtzkSet t1 left join t_icitem t2 "
                                   "on t1.fitemid=t2.fitemid where FStockID=? and FFromDate=? and FToDate=? "
                                   "Order By FEntryID"),
                    {storeId, span.from, span.to});
    for (; !rs.eof(); rs.moveNext()) {
        DiscountLine l;
        l.barcode = rs.text(QStringLiteral("FBarCode"));
        l.number = rs.text(QStringLiteral("FFromNumber"));
        l.name = rs.text(QStringLiteral("fname"));
        l.model = rs.text(QStringLiteral("FModel"));
        l.itemId = rs.toInt(QStringLiteral("FItemID"));
        l.rate = rs.toDouble(QStringLiteral("FZkRate"));
        l.price = rs.toDouble(QStringLiteral("FPrice"));
        l.retailPrice = rs.toDouble(QStringLiteral("FRetailPrice"));
        l.saleQty = rs.toDouble(QStringLiteral("FSaleQty"));
        l.vipQty = rs.toDouble(QStringLiteral("FVipQty"));
        if (!rs.isNull(QStringLiteral("FMExchange")))
            l.mExchange = rs.toDouble(QStringLiteral("FMExchange"));
        out << l;
    }
    return out;
}

void PosDiscounts::save(int storeId, const DiscountSpan &span, const QList<DiscountLine> &lines) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].barcode.size() > BarcodeMaxLength)
            throw Error(QStringLiteral("第 %1 行的条形码“%2”太长，最多 %3 个字符。")
                            .arg(i + 1)
                            .arg(db::shortened(lines[i].barcode))
                            .arg(BarcodeMaxLength));
    db::Transaction tx(m_conn);
    m_conn.execute(QStringLiteral("delete from PosQtZkSet where FStockID=? and FFromDate=? and FToDate=?"),
                   {storeId, span.from, span.to});
    const auto statementFor = [&](qsizetype rows) {
        QStringList values;
        for (qsizetype i = 0; i < rows; ++i)
            values << InsertRow;
        return m_conn.prepare(InsertHead + values.join(QLatin1Char(',')));
    };
    std::optional<db::Connection::Statement> full;
    QVariantList params;
    for (qsizetype first = 0; first < lines.size(); first += RowsPerInsert) {
        const qsizetype n = std::min<qsizetype>(RowsPerInsert, lines.size() - first);
        params.clear();
        params.reserve(n * 13);
        for (qsizetype i = first; i < first + n; ++i) {
            const DiscountLine &l = lines[i];
            params << storeId << l.barcode << l.number << static_cast<int>(i + 1) << span.from << span.to
                   << l.rate << l.price << l.retailPrice << l.saleQty << l.vipQty << l.itemId
                   << l.mExchange.value_or(0);
        }
        if (n < RowsPerInsert) {
            statementFor(n).exec(params);
        } else {
            if (!full)
                full = statementFor(RowsPerInsert);
            full->exec(params);
        }
    }
    tx.commit();
}

void PosDiscounts::moveGroup(int storeId, const DiscountSpan &from, const DiscountSpan &to) {
    if (from == to)
        return;
    db::Transaction tx(m_conn);
    if (groupExists(storeId, to))
        throw Error(GroupExistsMessage);
    m_conn.execute(QStringLiteral("Update PosQtZkSet set FFromDate=?,FToDate=? "
                                  "where FStockID=? and FFromDate=? and FToDate=?"),
                   {to.from, to.to, storeId, from.from, from.to});
    tx.commit();
}

void PosDiscounts::deleteGroup(int storeId, const DiscountSpan &span) {
    m_conn.execute(QStringLiteral("delete from PosQtZkSet where FStockID=? and FFromDate=? and FToDate=?"),
                   {storeId, span.from, span.to});
}

} // namespace zostore::counter
