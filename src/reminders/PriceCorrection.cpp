#include "reminders/PriceCorrection.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"

#include <QRegularExpression>
#include <cmath>

namespace zostore::reminders {

std::optional<double> parseSalePrice(const QString &text) {
    static const QRegularExpression re(QStringLiteral("^\\d{1,9}(\\.\\d*)?$|^\\.\\d+$"));
    const QString t = text.trimmed();
    if (!re.match(t).hasMatch())
        return std::nullopt;
    return std::round(t.toDouble() * 100.0) / 100.0;
}

void correctSalePrice(db::Connection &conn, int itemId, const QString &priceColumn, double price) {
    static const QRegularExpression key(QStringLiteral("^FPrice_\\d+$"),
                                        QRegularExpression::CaseInsensitiveOption);
    // The column name becomes part of the statement, so only a real price column passes.
    if (!key.match(priceColumn).hasMatch() ||
        !accountdb::hasColumn(conn, QStringLiteral("t_ICItem"), priceColumn))
        throw Error(QStringLiteral("“%1”不是售价列，不能修改。").arg(priceColumn));
    const int n = conn.execute(QStringLiteral("update t_icitem set ") + priceColumn +
                                   QStringLiteral("=?,FSjEditDate=getdate() where FItemID=?"),
                               {price, itemId});
    if (n == 0)
        throw Error(QStringLiteral("该商品已被删除，售价未保存。"));
}

} // namespace zostore::reminders
