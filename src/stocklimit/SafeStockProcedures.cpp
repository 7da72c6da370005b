#include "stocklimit/SafeStockProcedures.h"

#include "accountdb/ItemExtraFields.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"

#include <QStringList>

namespace zostore::stocklimit {

db::Recordset rpDefineMaxMinStock(db::Connection &conn, const db::ProcArgs &args) {
    QString cond = args.text(QStringLiteral("@UserSql")).trimmed();
    if (cond.isEmpty())
        cond = QStringLiteral("1=1");
    QString extra;
    for (const auto &f : accountdb::itemExtraFields(conn))
        extra += QStringLiteral("t1.") + f.name + QLatin1Char(',');
    const QString sql =
        QStringLiteral("select t1.FNumber,t1.FName,t1.FModel,") + extra +
        QStringLiteral(
            "t1.FUnit,t1.FExchange,t1.FItemID,s.FItemID as FStockID,ss.FMin,ss.FMax,ss.FSafe,q.FQty "
            "from t_ICItem t1 cross join t_Stock s "
            "left join ICSafeStock ss on ss.FItemID=t1.FItemID and ss.FStockID=s.FItemID "
            "left join ICInventory q on q.FItemID=t1.FItemID and q.FStockID=s.FItemID "
                       "where s.FVirtual=0 and t1.FDel=0 and (") +
        cond + QStringLiteral(") order by t1.FNumber,s.FNumber");
    return conn.open(sql);
}

void registerStockLimitProcedures() {
    static bool done = false;
    if (done)
        return;
    done = true;
    db::ProcedureRegistry::instance().add({QStringLiteral("Rp_Define_MaxMinStock"),
                                           {{QStringLiteral("@UserSql"), db::ParamType::Text}},
                                           rpDefineMaxMinStock,
                                           false});
}

} // namespace zostore::stocklimit
