#include "stocklimit/SafeStockEditing.h"

#include "components/items/ItemFilter.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/SqlText.h"

#include <cmath>

namespace zostore::stocklimit {

namespace {

QString likeLiteral(const QString &v) {
    QString escaped = v;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QStringLiteral("'%") + db::doubleApostrophes(escaped) + QStringLiteral("%' escape '\\'");
}

} // namespace

QString filterCondition(const components::items::ItemFilterChoice &c) {
    if (c.findType == 1)
        return QStringLiteral("t1.FNumber between ") + db::sqlLiteral(c.fromNumber) + QStringLiteral(" and ") +
               db::sqlLiteral(c.toNumber);
    const QString v = c.containValue;
    return QStringLiteral("(t1.FName like ") + likeLiteral(v) + QStringLiteral(" or t1.FQuickNum like ") +
           likeLiteral(v) + QStringLiteral(" or t1.FShopNumber=") + db::sqlLiteral(v) +
           QStringLiteral(" or t1.FBar_Code=") + db::sqlLiteral(v) + QLatin1Char(')');
}

QString groupCondition(int groupKey) { return QStringLiteral(" t1.FParentID=") + QString::number(groupKey); }

void storeLimit(db::Connection &conn, int stockId, int itemId, const QString &field, const QString &typed) {
    QString column;
    if (field.compare(QLatin1String("Min"), Qt::CaseInsensitive) == 0)
        column = QStringLiteral("FMin");
    else if (field.compare(QLatin1String("Max"), Qt::CaseInsensitive) == 0)
        column = QStringLiteral("FMax");
    else if (field.compare(QLatin1String("Safe"), Qt::CaseInsensitive) == 0)
        column = QStringLiteral("FSafe");
    else
        throw Error(QStringLiteral("现有库存由单据计算得出，不能直接修改！"));
    const QString text = typed.trimmed();
    bool ok = false;
    const double value = text.isEmpty() ? 0.0 : text.toDouble(&ok);
    if (!text.isEmpty() && (!ok || !std::isfinite(value)))
        throw Error(QStringLiteral("“") + typed + QStringLiteral("”不是有效的数量，请输入数字！"));
    if (value < 0)
        throw Error(QStringLiteral("库存上下限不能为负数！"));
    conn.execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,") + column +
                     QStringLiteral(") values(?,?,?) on conflict(FStockID,FItemID) do update set ") + column +
                     QStringLiteral("=excluded.") + column,
                 {stockId, itemId, value});
}

} // namespace zostore::stocklimit
