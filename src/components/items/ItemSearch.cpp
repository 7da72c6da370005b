#include "components/items/ItemSearch.h"

#include "db/Connection.h"
#include "db/Recordset.h"

namespace zostore::components::items {

namespace {

// Typed "%" and "_" are looked for as themselves.
QString containsPattern(const QString &text) {
    QString t = text.toLower();
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + t + QLatin1Char('%');
}

} // namespace

QVector<ItemRow> searchItems(db::Connection &conn, const QString &typed, int groupId) {
    const QString text = typed.trimmed();
    QString sql;
    QVariantList params;
    if (groupId > 0) {
        sql = QStringLiteral("with recursive g(id) as (select cast(? as integer) union all "
                             "select t.FItemID from t_ItemGroup t join g on t.FParentID=g.id) ");
        params << groupId;
    }
    sql += QStringLiteral("select i.FNumber,i.FName,i.FModel,i.FUnit,i.FQuickNum,i.FBar_Code from t_ICItem i "
                          "where i.FDel=0");
    if (groupId > 0)
        sql += QStringLiteral(" and i.FParentID in (select id from g)");
    if (!text.isEmpty()) {
        const QString like = containsPattern(text);
        const QString esc = QStringLiteral(" escape '\\'");
        sql += QStringLiteral(" and (lower(i.FNumber) like ?") + esc + QStringLiteral(" or lower(i.FName) like ?") +
               esc + QStringLiteral(" or lower(i.FQuickNum) like ?") + esc +
               QStringLiteral(" or lower(i.FBar_Code) like ?") + esc +
               QStringLiteral(" or i.FItemID in (select FItemID from t_icitem_barcode where lower(FBarCode) like ?") +
               esc + QStringLiteral("))");
        params << like << like << like << like << like;
    }
    sql += QStringLiteral(" order by i.FNumber");
    QVector<ItemRow> rows;
    for (auto rs = conn.open(sql, params, db::Cursor::Forward); !rs.eof(); rs.moveNext())
        rows.push_back({rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName")),
                        rs.text(QStringLiteral("FModel")), rs.text(QStringLiteral("FUnit")),
                        rs.text(QStringLiteral("FQuickNum")), rs.text(QStringLiteral("FBar_Code"))});
    return rows;
}

} // namespace zostore::components::items
