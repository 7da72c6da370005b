#include "components/items/ItemSearch.h"

#include "db/Connection.h"
#include "db/Recordset.h"

#include <QHash>
#include <QStringMatcher>
#include <algorithm>

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
    m_text.clear();
    m_start.clear();
    m_start.reserve(m_rows.size() + 1);
    const QChar sep(0x1f); // never typed, so no match spans two fields or two items
    for (const ItemRow &r : std::as_const(m_rows)) {
        m_start.push_back(m_text.size());
        m_text += r.number.toLower() + sep + r.name.toLower() + sep + r.quickNumber.toLower() + sep +
                  r.barcode.toLower() + extra.value(r.itemId) + sep;
    }
    m_start.push_back(m_text.size());
    m_lastText.clear();
    m_last.resize(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_last[i] = i;
}

const QVector<int> &ItemIndex::match(const QString &typed) {
    const QString text = typed.trimmed().toLower();
    if (text == m_lastText)
        return m_last;
    QVector<int> out;
    if (text.isEmpty()) {
        out.resize(m_rows.size());
        for (int i = 0; i < m_rows.size(); ++i)
            out[i] = i;
    } else if (!m_lastText.isEmpty() && text.contains(m_lastText) && m_last.size() * 8 < m_rows.size()) {
        // Few left: look only at those.
        for (int i : std::as_const(m_last))
            if (QStringView(m_text).mid(m_start[i], m_start[i + 1] - m_start[i]).contains(text))
                out.push_back(i);
    } else {
        const QStringMatcher matcher(text);
        qsizetype item = 0;
        for (qsizetype at = matcher.indexIn(m_text, 0); at >= 0;) {
            item = std::upper_bound(m_start.cbegin() + item, m_start.cend(), at) - m_start.cbegin() - 1;
            out.push_back(static_cast<int>(item));
            at = matcher.indexIn(m_text, m_start[item + 1]);
        }
    }
    m_lastText = text;
    m_last = std::move(out);
    return m_last;
}

} // namespace zostore::components::items
