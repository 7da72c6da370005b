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
    // A whole tree in two statements per chunk: the window saves over a hundred codes at once, and on a
    // server each statement is a round trip. Chunks keep under SQLite's older 999-parameter bound.
    constexpr qsizetype Chunk = 300;
    const QStringList keys = codes.keys();
    db::Transaction tx(conn);
    for (qsizetype from = 0; from < keys.size(); from += Chunk) {
        const QStringList part = keys.mid(from, Chunk);
        QStringList marks, rows;
        QVariantList dropArgs{userId}, addArgs;
        for (const QString &c : part) {
            marks << QStringLiteral("?");
            rows << QStringLiteral("(?,?,?)");
            dropArgs << c;
            addArgs << userId << c << (codes.value(c) ? 1 : 0);
        }
        conn.execute(QStringLiteral("delete from t_Grant where FUserID=? and FSubSystemID in (%1)")
                         .arg(marks.join(QLatin1Char(','))),
                     dropArgs);
        conn.execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values %1")
                         .arg(rows.join(QLatin1Char(','))),
                     addArgs);
    }
    tx.commit();
}

} // namespace zostore::modules::users
