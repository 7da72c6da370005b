#include "components/items/ItemSearch.h"

#include "db/Connection.h"
#include "db/Recordset.h"

#include <QHash>

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
    sql += QStringLiteral(
        "select i.FItemID,i.FNumber,i.FName,i.FModel,i.FUnit,i.FQuickNum,i.FBar_Code from t_ICItem i "
        "where i.FDel=0");
    if (groupId > 0)
        sql += QStringLiteral(" and i.FParentID in (select id from g)");
    if (!text.isEmpty()) {
        const QString like = containsPattern(text);
        const QString esc = QStringLiteral(" escape '\\'");
        sql += QStringLiteral(" and (lower(i.FNumber) like ?") + esc +
               QStringLiteral(" or lower(i.FName) like ?") + esc +
               QStringLiteral(" or lower(i.FQuickNum) like ?") + esc +
               QStringLiteral(" or lower(i.FBar_Code) like ?") + esc +
               QStringLiteral(
                   " or i.FItemID in (select FItemID from t_icitem_barcode where lower(FBarCode) like ?") +
               esc + QStringLiteral("))");
        params << like << like << like << like << like;
    }
    sql += QStringLiteral(" order by i.FNumber");
    QVector<ItemRow> rows;
    for (auto rs = conn.open(sql, params, db::Cursor::Forward); !rs.eof(); rs.moveNext())
        rows.push_back({rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName")),
                        rs.text(QStringLiteral("FModel")), rs.text(QStringLiteral("FUnit")),
                        rs.text(QStringLiteral("FQuickNum")), rs.text(QStringLiteral("FBar_Code")),
                        rs.toInt(QStringLiteral("FItemID"))});
    return rows;
}

void ItemIndex::load(db::Connection &conn, int groupId) {
    m_rows = searchItems(conn, QString(), groupId);
    QHash<int, QString> extra;
    for (auto rs = conn.open(
             QStringLiteral("select b.FItemID,b.FBarCode from t_icitem_barcode b join t_ICItem i on "
                            "i.FItemID=b.FItemID where i.FDel=0"),
             {}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext())
        extra[rs.toInt(QStringLiteral("FItemID"))] +=
            QChar(0x1f) + rs.text(QStringLiteral("FBarCode")).toLower();
    m_haystack.clear();
    m_haystack.reserve(m_rows.size());
    const QChar sep(0x1f); // never typed, so no match spans two fields
    for (const ItemRow &r : std::as_const(m_rows))
        m_haystack.push_back(r.number.toLower() + sep + r.name.toLower() + sep + r.quickNumber.toLower() +
                             sep + r.barcode.toLower() + extra.value(r.itemId));
    m_lastText.clear();
    m_last.resize(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_last[i] = i;
}

const QVector<int> &ItemIndex::match(const QString &typed) {
    const QString text = typed.trimmed().toLower();
    if (text == m_lastText)
        return m_last;
    QVector<int> from;
    if (!m_lastText.isEmpty() && text.contains(m_lastText)) {
        from = std::move(m_last);
    } else {
        from.resize(m_rows.size());
        for (int i = 0; i < m_rows.size(); ++i)
            from[i] = i;
    }
    QVector<int> out;
    if (text.isEmpty()) {
        out = std::move(from);
    } else {
        out.reserve(from.size());
        for (int i : std::as_const(from))
            if (m_haystack[i].contains(text))
                out.push_back(i);
    }
    m_lastText = text;
    m_last = std::move(out);
    return m_last;
}

} // namespace zostore::components::items
