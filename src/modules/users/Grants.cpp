#include "modules/users/Grants.h"

#include "db/Connection.h"
#include "db/Transaction.h"

namespace zostore::modules::users {

QSet<QString> Grants::granted(db::Connection &conn, int userId) {
    QSet<QString> out;
    for (db::Recordset rs =
             conn.open(QStringLiteral("select FSubSystemID,FGrant from t_Grant where FUserID=?"), {userId});
         !rs.eof(); rs.moveNext())
        if (rs.toInt(QStringLiteral("FGrant")) != 0)
            out.insert(rs.text(QStringLiteral("FSubSystemID")).trimmed());
    return out;
}

void Grants::write(db::Connection &conn, int userId, const QMap<QString, bool> &codes) {
    db::Transaction tx(conn);
    auto drop = conn.prepare(QStringLiteral("delete from t_Grant where FUserID=? and FSubSystemID=?"));
    auto add = conn.prepare(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,?)"));
    for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
        drop.exec({userId, it.key()});
        add.exec({userId, it.key(), it.value() ? 1 : 0});
    }
    tx.commit();
}

} // namespace zostore::modules::users
