#include "reminders/ShortageProcedure.h"

#include "accountdb/ItemExtraFields.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"

namespace zostore::reminders {

namespace {

// Packages of a quantity, truncated like the rest of the program's whole-package counts.
QString packages(const QString &qty) {
    return QStringLiteral("case when isnull(t1.FExchange,0)=0 then 0 else toint(%1/t1.FExchange) end")
        .arg(qty);
}

} // namespace

db::Recordset rpShortageAndOver(db::Connection &conn, const db::ProcArgs &args) {
    const int showType = args.toInt(QStringLiteral("@ShowType"));
    if (showType != 1 && showType != 2)
        throw Error(QStringLiteral("@ShowType 只能是 1（短缺）或 2（超储）。"));
    QString cond = args.text(QStringLiteral("@UserSql")).trimmed();
    if (cond.isEmpty())
        cond = QStringLiteral("1=1");
    const QString storeName = args.text(QStringLiteral("@stockname")).trimmed();
    const bool over = showType == 2;

    QString limits;
    QString stock;
    QVariantList params;
    if (storeName.isEmpty()) {
        // An item total set by the generator counts; without one, the stores' limits add up.
        const QString field = over ? QStringLiteral("FMax") : QStringLiteral("FMin");
        const QString itemField = over ? QStringLiteral("FMaxStock") : QStringLiteral("FMinStock");
        limits = QStringLiteral(
                     "select i.FItemID,case when isnull(i.%1,0)>0 then i.%1 else isnull(s.FLimit,0) end "
                     "as FLimit from t_ICItem i left join (select ss.FItemID,sum(ss.%2) as FLimit "
                     "from ICSafeStock ss inner join t_Stock st on st.FItemID=ss.FStockID "
                     "where st.FVirtual=0 group by ss.FItemID) s on s.FItemID=i.FItemID")
                     .arg(itemField, field);
        // Every store counts, the virtual one too, as in costing.
        stock = QStringLiteral("select FItemID,sum(FQty) as FQty from ICInventory group by FItemID");
    } else {
        const QVariant id =
            conn.scalar(QStringLiteral("select FItemID from t_Stock where FName=?"), {storeName});
        if (id.isNull())
            throw Error(QStringLiteral("仓库“%1”不存在！").arg(storeName));
        limits = QStringLiteral("select FItemID,%1 as FLimit from ICSafeStock where FStockID=?")
                     .arg(over ? QStringLiteral("FMax") : QStringLiteral("FMin"));
        stock = QStringLiteral("select FItemID,FQty from ICInventory where FStockID=?");
        params << id << id;
    }
    QString extra;
    for (const auto &f : accountdb::itemExtraFields(conn))
        extra += QStringLiteral("t1.") + f.name + QLatin1Char(',');
    const QString qty = QStringLiteral("isnull(q.FQty,0)");
    const QString sql = QStringLiteral("select t1.FNumber,t1.FName,t1.FModel,") + extra +
                        QStringLiteral("t1.FUnit,t1.FExchange,") + packages(qty) +
                        QStringLiteral(" as FStockMainQty,") + qty + QStringLiteral(" as FStockQty,") +
                        packages(QStringLiteral("l.FLimit")) +
                        QStringLiteral(" as FAskMainQty1,l.FLimit as FAskQty1,t1.FItemID "
                                       "from t_ICItem t1 inner join (") +
                        limits + QStringLiteral(") l on l.FItemID=t1.FItemID left join (") + stock +
                        QStringLiteral(") q on q.FItemID=t1.FItemID where t1.FDel=0 and l.FLimit>0 and ") +
                        qty + (over ? QStringLiteral(">") : QStringLiteral("<")) +
                        QStringLiteral("l.FLimit and (") + cond + QStringLiteral(") order by t1.FNumber");
    return conn.open(sql, params);
}

void registerReminderProcedures() {
    static bool done = false;
    if (done)
        return;
    done = true;
    db::ProcedureRegistry::instance().add({QStringLiteral("Rp_ShortageAndOver"),
                                           {{QStringLiteral("@ShowType"), db::ParamType::Integer},
                                            {QStringLiteral("@UserSql"), db::ParamType::Text},
                                            {QStringLiteral("@stockname"), db::ParamType::Text}},
                                           rpShortageAndOver,
                                           false});
}

} // namespace zostore::reminders
