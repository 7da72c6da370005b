#include "accountdb/ItemExtraFields.h"

#include "db/Connection.h"

#include <QRegularExpression>
#include <QSet>

namespace zostore::accountdb {

QList<ItemExtraField> itemExtraFields(db::Connection &conn) {
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QSet<QString> columns;
    {
        auto rs = conn.open(QStringLiteral("select * from t_ICItem where 1=0"));
        for (const QString &n : rs.fieldNames())
            columns.insert(n.toLower());
    }
    QList<ItemExtraField> out;
    auto rs = conn.open(QStringLiteral("select FFieldDesc,FFieldName from t_ItemDetail where FItemClassID=4 and "
                                       "FSystem=0 order by FFieldID"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("FFieldName")).trimmed();
        if (ident.match(name).hasMatch() && columns.contains(name.toLower()))
            out.append({name, rs.text(QStringLiteral("FFieldDesc"))});
    }
    return out;
}

} // namespace zostore::accountdb
