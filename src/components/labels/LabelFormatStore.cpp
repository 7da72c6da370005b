// One transaction per change, so a failed save leaves the format as it was.
#include "components/labels/LabelFormatStore.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "db/Transaction.h"

namespace zostore::components::labels {

namespace {

// Sets made before formats had a layout column get it on first use.
void ensureLayoutColumn(db::Connection &conn) {
    if (!accountdb::hasColumn(conn, QStringLiteral("TDBill"), QStringLiteral("FLayout")))
        conn.execute(QStringLiteral("alter table TDBill add column FLayout text"));
}

} // namespace

void requireFormatType(int tranType) {
    if (tranType != LabelTranType && !isBillFormatType(tranType))
        throw Error(QStringLiteral("类型 %1 没有打印格式：只有商品标签（类型 51）和采购、仓库单据有打印格式。")
                        .arg(tranType));
}

LabelFormatStore::LabelFormatStore(db::Connection &conn, int tranType) : m_conn(conn), m_type(tranType) {
    requireFormatType(tranType);
    ensureLayoutColumn(m_conn);
}

QString LabelFormatStore::what() const {
    return m_type == LabelTranType ? QStringLiteral("标签格式") : QStringLiteral("打印格式");
}

QList<FormatEntry> LabelFormatStore::list() const {
    QList<FormatEntry> out;
    auto rs = m_conn.open(
        QStringLiteral("select FTDBillName,FSelected from TDBill where FTranType=? order by FTDBillName"),
        {m_type});
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.text(QStringLiteral("FTDBillName")), rs.toInt(QStringLiteral("FSelected")) != 0});
    return out;
}

bool LabelFormatStore::exists(const QString &name) const {
    return m_conn.scalar(QStringLiteral("select count(*) from TDBill where FTranType=? and FTDBillName=?"),
                         {m_type, name})
               .toInt() > 0;
}

LabelFormat LabelFormatStore::load(const QString &name) const {
    auto rs = m_conn.open(QStringLiteral("select FLayout from TDBill where FTranType=? and FTDBillName=?"),
                          {m_type, name});
    if (rs.eof())
        throw Error(QStringLiteral("找不到%1“%2”！").arg(what(), db::shortened(name)));
    const QString layout = rs.text(QStringLiteral("FLayout"));
    if (layout.trimmed().isEmpty()) {
        LabelFormat blank;
        blank.name = name;
        blank.tranType = m_type;
        return blank;
    }
    return LabelFormat::fromLayoutText(name, layout, m_type);
}

void LabelFormatStore::save(const LabelFormat &format, const QString &originalName) {
    if (format.tranType != m_type)
        throw Error(QStringLiteral("%1“%2”属于另一种单据，不能存到这里。").arg(what(), db::shortened(format.name)));
    format.validate();
    db::Transaction tx(m_conn);
    const bool renamed = originalName.isEmpty() || originalName != format.name;
    if (renamed && exists(format.name))
        throw Error(QStringLiteral("%1“%2”已经存在，请换一个名称。").arg(what(), db::shortened(format.name)));
    const QString layout = format.toLayoutText();
    if (!originalName.isEmpty() && exists(originalName)) {
        m_conn.execute(QStringLiteral("update TDBill set FTDBillName=?,FLayout=? where FTranType=? and FTDBillName=?"),
                       {format.name, layout, m_type, originalName});
    } else {
        m_conn.execute(QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent,FLayout) "
                                      "values(?,0,?,'',?)"),
                       {format.name, m_type, layout});
    }
    tx.commit();
}

void LabelFormatStore::remove(const QString &name) {
    m_conn.execute(QStringLiteral("delete from TDBill where FTranType=? and FTDBillName=?"), {m_type, name});
}

void LabelFormatStore::select(const QString &name) {
    if (!exists(name))
        throw Error(QStringLiteral("找不到%1“%2”！").arg(what(), db::shortened(name)));
    db::Transaction tx(m_conn);
    m_conn.execute(QStringLiteral("update TDBill set FSelected=case when FTDBillName=? then 1 else 0 end "
                                  "where FTranType=?"),
                   {name, m_type});
    tx.commit();
}

} // namespace zostore::components::labels
